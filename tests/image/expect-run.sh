#!/bin/sh
# Runs a command and checks its exit status, its standard output against a
# file ("-" for none expected) and its standard error for a text ("" for any,
# "-" for none at all). The command gets a temporary folder of its own
# (TMPDIR), which must be empty again when it has ended: an installed plug-in
# library is never left behind.
#   expect-run.sh [--window TITLE [--installed NAME] [--keys "KEY..."]
#                 [--signal SIGNAL]] [--stderr TEXT]...
#                 STATUS EXPECTED_STDOUT STDERR_TEXT command [args...]
# --window waits until a window of that title is shown; then the program
# must have the plug-in library NAME mapped from a file it installed in its
# temporary folder, the keys (xdotool names) are pressed in the window a
# second apart and the signal is sent. A program still running a minute
# later is stopped and fails the test. --stderr names a further text that
# standard error must hold.
title= installed= keys= signal= texts=$(mktemp)
while :; do
    case $1 in
    --window) title=$2; shift 2 ;;
    --installed) installed=$2; shift 2 ;;
    --keys) keys=$2; shift 2 ;;
    --signal) signal=$2; shift 2 ;;
    --stderr) printf '%s\n' "$2" >>"$texts"; shift 2 ;;
    *) break ;;
    esac
done
status=$1 expected=$2
[ "$3" = - ] || [ -z "$3" ] || printf '%s\n' "$3" >>"$texts"
quiet=$([ "$3" = - ] && echo 1)
shift 3
out=$(mktemp) err=$(mktemp)
TMPDIR=$(mktemp -d)
export TMPDIR
trap 'rm -rf "$out" "$err" "$texts" "$TMPDIR"' EXIT
KQ_ERROR_REPORT=ok "$@" >"$out" 2>"$err" &
program=$!
fail=0
if [ -n "$title" ]; then
    window=$(timeout 120 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)
    if [ -z "$window" ]; then echo "no window '$title' appeared"; fail=1; fi
    if [ -n "$installed" ] && ! grep -F "$TMPDIR/" "/proc/$program/maps" | grep -qF "_$installed"
    then
        echo "$installed is not mapped from a file in $TMPDIR"; fail=1
    fi
    # No window manager runs on the private display: the window gets the
    # focus directly, then the keys go through XTEST.
    for k in $keys; do
        sleep 1
        xdotool windowfocus --sync "$window" key "$k" 2>/dev/null
    done
    if [ -n "$signal" ]; then
        sleep 1
        kill -s "$signal" $program
    fi
    seconds=0
    while kill -0 $program 2>/dev/null && [ $seconds -lt 60 ]; do
        sleep 1
        seconds=$((seconds + 1))
    done
    if kill -0 $program 2>/dev/null; then
        echo "the program was still running a minute later"
        kill -s KILL $program
        fail=1
    fi
fi
wait $program
got=$?
if [ "$got" != "$status" ]; then echo "exit status $got, expected $status"; fail=1; fi
if [ "$expected" = - ]; then
    if [ -s "$out" ]; then echo "unexpected output:"; cat "$out"; fail=1; fi
elif ! diff -u "$expected" "$out"; then
    fail=1
fi
while IFS= read -r text; do
    if ! grep -qF -- "$text" "$err"; then echo "standard error lacks: $text"; fail=1; fi
done <"$texts"
if [ -n "$quiet" ] && [ -s "$err" ]; then echo "standard error is not empty"; fail=1; fi
left=$(ls -A "$TMPDIR")
if [ -n "$left" ]; then echo "left in the temporary folder: $left"; fail=1; fi
if [ $fail != 0 ]; then echo "--- standard error:"; cat "$err"; fi
exit $fail
