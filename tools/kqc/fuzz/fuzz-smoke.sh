#!/usr/bin/env bash
# A short fuzz run for the test suite: replays the seed corpus and tries a
# few thousand mutations. Longer runs: tools/kqc/fuzz/run-fuzz.
# Usage: fuzz-smoke.sh FUZZER DICTIONARY MANIFEST SEEDS...
set -euo pipefail
fuzzer=$1 dict=$2 manifest=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ASAN_OPTIONS=max_malloc_fill_size=0 KQC_FUZZ_MANIFEST=$manifest "$fuzzer" -dict="$dict" -runs=1000 -max_len=4096 -timeout=10 \
    -rss_limit_mb=1024 "$work" "$@" 2>&1 | tail -n 5
