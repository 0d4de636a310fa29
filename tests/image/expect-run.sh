#!/bin/sh
# Runs a command and checks its exit status, its standard output against a
# file ("-" for none expected) and its standard error for a text ("" for any).
#   expect-run.sh STATUS EXPECTED_STDOUT STDERR_TEXT command [args...]
status=$1 expected=$2 text=$3
shift 3
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
KQ_ERROR_REPORT=ok "$@" >"$out" 2>"$err"
got=$?
fail=0
if [ "$got" != "$status" ]; then echo "exit status $got, expected $status"; fail=1; fi
if [ "$expected" = - ]; then
    if [ -s "$out" ]; then echo "unexpected output:"; cat "$out"; fail=1; fi
elif ! diff -u "$expected" "$out"; then
    fail=1
fi
if [ -n "$text" ] && ! grep -qF -- "$text" "$err"; then
    echo "standard error lacks: $text"; fail=1
fi
if [ $fail != 0 ]; then echo "--- standard error:"; cat "$err"; fi
exit $fail
