#!/bin/sh
# Runs the window-rounds program and judges the figures it prints after the
# warm-up and after the last round: the live-object count must be the same,
# the heap in use may differ by at most HEAP_SLACK KiB, the resident memory
# by at most RESIDENT_SLACK KiB (it includes an emulator's translated code);
# standard error must stay empty (no runtime error report). The slack is for
# GTK+'s and GLib's own bookkeeping, a few hundred bytes a round; a leaked
# window or control costs kilobytes a round. The program runs without
# transparent huge pages: an emulator's code buffer would otherwise grow in
# steps of 2 MiB, and a few kilobytes of code translated late would count
# as a whole step.
# In an address-sanitizer build (KQ_RESIDENT_JUDGED=no) the resident memory
# is printed, not judged: the sanitizer keeps freed blocks in its quarantine
# (up to 256 MiB) to catch their later use, so it grows by design; the heap
# figure there is the sanitizer's own exact count.
#   window-rounds.sh command [args...]
HEAP_SLACK=512
RESIDENT_SLACK=2048
RESIDENT_JUDGED=${KQ_RESIDENT_JUDGED:-yes}
err=$(mktemp)
trap 'rm -f "$err"' EXIT
# prctl(PR_SET_THP_DISABLE, 1) holds for the program started next.
out=$(KQ_ERROR_REPORT=ok python3 -c 'import ctypes, os, sys
ctypes.CDLL(None).prctl(41, 1, 0, 0, 0)
os.execvp(sys.argv[1], sys.argv[1:])' "$@" 2>"$err")
status=$?
echo "$out"
[ $status = 0 ] || { echo "exit status $status"; cat "$err"; exit 1; }
[ -s "$err" ] && { echo "--- standard error:"; cat "$err"; exit 1; }
echo "$out" | awk -v heapSlack=$HEAP_SLACK -v residentSlack=$RESIDENT_SLACK \
    -v residentJudged="$RESIDENT_JUDGED" '
    /^after [0-9]+ rounds: / {
        n++; objects[n] = $4; heap[n] = $7; resident[n] = $10
    }
    END {
        if (n != 2) { print "expected two lines of figures, got " n; exit 1 }
        fail = 0
        if (objects[2] != objects[1]) {
            print "live objects went from " objects[1] " to " objects[2]; fail = 1
        }
        if (heap[1] < 0 || heap[2] - heap[1] > heapSlack) {
            print "the heap grew from " heap[1] " to " heap[2] " KiB"; fail = 1
        }
        if (residentJudged != "yes") {
            print "resident memory not judged (address-sanitizer quarantine)"
        } else if (resident[1] < 0 || resident[2] - resident[1] > residentSlack) {
            print "resident memory grew from " resident[1] " to " resident[2] " KiB"; fail = 1
        }
        exit fail
    }'
