#!/usr/bin/env bash
# Start-up benchmark (tests/bench/startup.py): pillwerk against a C GTK+
# program with the same window, RUNS runs of each (10 unless set), on one
# private display; NO_THP=1 runs both without transparent huge pages.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${KQ_BUILD_DIR:-$root/build}
pillwerk=$build/app/pillwerk
baseline=$build/bench-support/calculator_form_start
[ -x "$pillwerk" ] && [ -x "$baseline" ] || { echo "startup: not built (scripts/build)" >&2; exit 1; }
exec "$root/scripts/with-xvfb" /usr/bin/python3 "$root/tests/bench/startup.py" \
    "$build/run-i386" "$pillwerk" "$baseline"
