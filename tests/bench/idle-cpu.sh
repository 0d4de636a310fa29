#!/usr/bin/env bash
# Measures the processor time of an idle application: bench-support/idle_app
# (no windows, AutoQuit off) runs on a private display through the launcher,
# and the user and system time of its process is read from /proc/<pid>/stat
# before and after a few seconds (5 unless IDLE_SECONDS says otherwise). The
# same program with a polled background task, whose main loop cannot block,
# is measured the same way in the same run as the comparison.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${KQ_BUILD_DIR:-$root/build}
app=$build/bench-support/idle_app
seconds=${IDLE_SECONDS:-5}
[ -x "$app" ] || { echo "idle-cpu: $app is not built (scripts/build)" >&2; exit 1; }

# Clock ticks of processor time the program takes over $seconds seconds.
measure() {
    "$root/scripts/with-xvfb" bash -c '
        out=$(mktemp)
        trap "rm -f \"\$out\"" EXIT
        "$1" "$2" $3 >"$out" 2>&1 &
        pid=$!
        for _ in $(seq 400); do grep -q running "$out" && break; sleep 0.05; done
        grep -q running "$out" || { cat "$out" >&2; exit 1; }
        sleep 1
        ticks() { awk "{ print \$14 + \$15 }" "/proc/$pid/stat"; }
        before=$(ticks)
        sleep "$4"
        after=$(ticks)
        kill -TERM "$pid"
        wait "$pid" || true
        echo $((after - before))
    ' measure "$build/run-i386" "$app" "$1" "$seconds"
}

hz=$(getconf CLK_TCK)
idle=$(measure "")
busy=$(measure busy)
percent() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / (hz * s) }'; }
echo "idle application without windows: $(percent "$idle") % of a processor over $seconds s ($idle clock ticks)"
echo "the same with a polled background task (comparison): $(percent "$busy") % ($busy clock ticks)"
