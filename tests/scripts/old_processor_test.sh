#!/usr/bin/env bash
# On a processor without SSE2 (an emulated Pentium III) the runtime refuses
# with a clear message and status 1 before it runs any compiled code.
#   old_processor_test.sh <sysroot> <kqrun>
set -u
sysroot=$1 program=$2
command -v qemu-i386 >/dev/null || { echo "no qemu-i386 to emulate an older processor"; exit 77; }
out=$(qemu-i386 -cpu pentium3 -L "$sysroot" "$program" 2>&1)
status=$?
[ $status -eq 1 ] || { echo "FAIL: exit status $status, output: $out"; exit 1; }
case $out in
*"needs a processor with SSE2"*) echo ok ;;
*) echo "FAIL: unclear message: $out"; exit 1 ;;
esac
