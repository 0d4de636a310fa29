#!/usr/bin/env bash
# Compiled Kestlang against C: the loops of KestlangLoop.kst (compiled by kqc)
# and of KestlangLoopBaseline.c (gcc -O0), both run through the launcher in
# this run RUNS times (3 unless set); prints each loop's best time and the
# ratio Kestlang / C.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${KQ_BUILD_DIR:-$root/build}
members=$build/tests/bench/kestlang_loop-members
baseline=$build/bench-support/kestlang_loop_baseline
[ -d "$members" ] && [ -x "$baseline" ] || { echo "kestlang-loop: not built (scripts/build)" >&2; exit 1; }
runs=${RUNS:-3}

# Each loop's best time (microseconds) over $runs runs: "doubles N", "strings N".
# A program whose loops compute a wrong result prints no times.
best() {
    for _ in $(seq "$runs"); do "$@" || exit 1; done |
        awk '{ if (!($1 in t) || $2 < t[$1]) t[$1] = $2 }
             END { if (!("doubles" in t) || !("strings" in t)) exit 1
                   print "doubles", t["doubles"]; print "strings", t["strings"] }'
}

kestlang=$(cd "$members" && best "$build/run-i386" "$build/Common/kqrun") ||
    { echo "kestlang-loop: the Kestlang loops did not report their times" >&2; exit 1; }
c=$(best "$build/run-i386" "$baseline") ||
    { echo "kestlang-loop: the C loops did not report their times" >&2; exit 1; }
echo "$kestlang" | sed 's/^/kestlang /'
echo "$c" | sed 's/^/c -O0    /'
paste <(echo "$kestlang") <(echo "$c") |
    awk '{ printf "ratio %s kestlang/c: %.2f (target: within a small factor)\n", $1, $2 / ($4 > 0 ? $4 : 1) }'
