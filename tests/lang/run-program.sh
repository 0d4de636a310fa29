#!/bin/sh
# Runs a compiled Kestlang program: its standard output must equal the
# expected file, its standard error must stay empty (no runtime error
# report), and it must end with status 0.
#   run-program.sh EXPECTED command [args...]
expected=$1
shift
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
KQ_ERROR_REPORT=ok "$@" >"$out" 2>"$err"
status=$?
fail=0
if [ "$status" != 0 ]; then echo "exit status $status"; fail=1; fi
if ! diff -u "$expected" "$out"; then fail=1; fi
if [ -s "$err" ]; then echo "--- standard error:"; cat "$err"; fail=1; fi
exit $fail
