#!/usr/bin/env bash
# Compiled Kestlang against C: the loops of KestlangLoop.kst (compiled by kqc)
# and of KestlangLoopBaseline.c (gcc -O0), both run through the launcher in
# this run; prints each loop's time and the ratio Kestlang / C.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${KQ_BUILD_DIR:-$root/build}
members=$build/tests/bench/kestlang_loop-members
baseline=$build/bench-support/kestlang_loop_baseline
[ -d "$members" ] && [ -x "$baseline" ] || { echo "kestlang-loop: not built (scripts/build)" >&2; exit 1; }
kestlang=$(cd "$members" && "$root/scripts/run-i386" "$build/Common/kqrun")
c=$("$root/scripts/run-i386" "$baseline")
echo "$kestlang" | sed 's/^/kestlang /'
echo "$c" | sed 's/^/c -O0    /'
paste <(echo "$kestlang") <(echo "$c") |
    awk '{ printf "ratio %s kestlang/c: %.2f (target: within a small factor)\n", $1, $2 / ($4 > 0 ? $4 : 1) }'
