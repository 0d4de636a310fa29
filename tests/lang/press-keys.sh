#!/bin/sh
# Runs a GUI program and presses keys in its window once it is shown: waits
# for a window of the given title, sends each key combination (xdotool
# names, such as ctrl+q) with a pause between them, and waits for the
# program to end; a program still running after the keys is stopped.
#   press-keys.sh TITLE KEY... -- command [args...]
title=$1
shift
keys=
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    keys="$keys $1"
    shift
done
[ "$1" = "--" ] || { echo "usage: press-keys.sh TITLE KEY... -- command" >&2; exit 2; }
shift
"$@" &
program=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)
if [ -z "$window" ]; then
    echo "press-keys.sh: no window '$title' appeared" >&2
    kill "$program" 2>/dev/null
    wait "$program"
    exit 1
fi
# No window manager runs on the private display: the window gets the focus
# directly, then the keys go through XTEST.
for k in $keys; do
    sleep 1
    xdotool windowfocus --sync "$window" key "$k" 2>/dev/null
done
seconds=0
while kill -0 "$program" 2>/dev/null && [ $seconds -lt 60 ]; do
    sleep 1
    seconds=$((seconds + 1))
done
if kill -0 "$program" 2>/dev/null; then
    echo "press-keys.sh: the program did not end after the keys" >&2
    kill "$program"
fi
wait "$program"
