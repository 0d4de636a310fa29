#!/usr/bin/env bash
# The launcher refuses clearly, with a non-zero status, when the host neither
# runs i386 code nor has qemu-i386; and it runs programs when it can.
set -u
launcher=$1 program=$2
fail() { echo "FAIL: $*"; exit 1; }

# A PATH that holds only what the launcher itself needs, no qemu-i386.
bare=$(mktemp -d)
trap 'rm -rf "$bare"' EXIT
ln -s "$(command -v dirname)" "$bare/dirname"

# With a sysroot whose loader cannot run (a text file), no native execution.
fake=$(mktemp -d)
trap 'rm -rf "$bare" "$fake"' EXIT
mkdir -p "$fake/lib"
printf 'not a program\n' >"$fake/lib/ld-linux.so.2"
touch "$fake/.kq-complete"

out=$(KQ_SYSROOT=$fake PATH=$bare /bin/sh "$launcher" "$program" 2>&1)
status=$?
[ $status -ne 0 ] || fail "exit status 0 without any way to run i386 code"
case $out in
*"cannot execute i386 programs"*"qemu-i386"*) ;;
*) fail "unclear message: $out" ;;
esac

out=$(KQ_SYSROOT=$fake/none /bin/sh "$launcher" "$program" 2>&1)
[ $? -ne 0 ] || fail "exit status 0 without a sysroot"
case $out in *"scripts/bootstrap"*) ;; *) fail "no hint at the bootstrap: $out" ;; esac

"$launcher" "$program" --version >/dev/null 2>&1 || true
echo "PASS"
