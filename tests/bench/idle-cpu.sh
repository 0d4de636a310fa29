#!/usr/bin/env bash
# Measures the processor time of idle applications, each on a private
# display through the launcher: the calculator pillwerk with its main window
# open and drawn (it writes the step "drawn" to KQ_TIMESTAMPS), and
# bench-support/idle_app (no windows, AutoQuit off), which prints "running".
# The user and system time of the process is read from /proc/<pid>/stat one
# second after it is ready and again IDLE_SECONDS later (10 unless set). The
# idle application with a polled background task, whose main loop cannot
# block, is measured the same way in the same run as the comparison.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${KQ_BUILD_DIR:-$root/build}
app=$build/bench-support/idle_app
pillwerk=$build/app/pillwerk
seconds=${IDLE_SECONDS:-10}
[ -x "$app" ] && [ -x "$pillwerk" ] || { echo "idle-cpu: not built (scripts/build)" >&2; exit 1; }

# Clock ticks of processor time the program takes over $seconds seconds.
measure() {
    "$root/scripts/with-xvfb" bash -c '
        out=$(mktemp) stamps=$(mktemp)
        trap "rm -f \"\$out\" \"\$stamps\"" EXIT
        KQ_TIMESTAMPS=$stamps "$1" "$2" $3 >"$out" 2>&1 &
        pid=$!
        ready() { grep -q running "$out" || grep -q drawn "$stamps"; }
        for _ in $(seq 1200); do ready && break; sleep 0.05; done
        ready || { cat "$out" >&2; exit 1; }
        sleep 1
        ticks() { awk "{ print \$14 + \$15 }" "/proc/$pid/stat"; }
        before=$(ticks)
        sleep "$4"
        after=$(ticks)
        kill -TERM "$pid"
        wait "$pid" || true
        echo $((after - before))
    ' measure "$build/run-i386" "$1" "$2" "$seconds"
}

hz=$(getconf CLK_TCK)
calculator=$(measure "$pillwerk" "")
idle=$(measure "$app" "")
busy=$(measure "$app" busy)
percent() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / (hz * s) }'; }
echo "pillwerk idle on its main window: $(percent "$calculator") % of a processor over $seconds s ($calculator clock ticks of $((hz * seconds)))"
echo "idle application without windows: $(percent "$idle") % ($idle clock ticks)"
echo "the same with a polled background task (comparison): $(percent "$busy") % ($busy clock ticks)"
