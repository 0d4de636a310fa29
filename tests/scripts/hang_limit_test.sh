#!/usr/bin/env bash
# with-xvfb --limit: a command that outlives its limit is reported with what
# its processes are blocked in and stopped together with its children, with
# exit status 124; one that ends in time keeps its own status and output;
# with --retry-hung a hung command gets one more run.
#   hang_limit_test.sh <with-xvfb>
set -u
with_xvfb=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$("$with_xvfb" --limit 20 bash -c 'echo in time; exit 7')
[ $? -eq 7 ] || fail "a command that ends in time keeps its exit status"
[ "$out" = "in time" ] || fail "and its output, got: $out"

marker=kq-hang-limit-$$
report=$("$with_xvfb" --limit 2 bash -c "sleep 600 | exec -a $marker sleep 600" 2>&1 >/dev/null)
status=$?
[ $status -eq 124 ] || fail "a hung command ends with 124, got $status"
grep -q "still running after 2 seconds" <<<"$report" || fail "no hang report: $report"
grep -q "in hrtimer_nanosleep\|syscall" <<<"$report" || fail "no thread states: $report"
sleep 0.5
! pgrep -f "$marker" >/dev/null || fail "a child of the hung command was left running"

# --retry-hung: a command that hangs once is run again and its second,
# timely run decides; the first run's report stays in the output.
first=$(mktemp -u)
out=$("$with_xvfb" --limit 2 --retry-hung bash -c \
    "if [ -e $first ]; then echo second run; exit 5; fi; touch $first; exec sleep 600" 2>&1)
status=$?
rm -f "$first"
[ $status -eq 5 ] || fail "the second run's status decides, got $status: $out"
grep -q "still running after 2 seconds" <<<"$out" || fail "no report of the first run: $out"
grep -q "second run" <<<"$out" || fail "the command was not run again: $out"
echo ok
