#!/bin/sh
# Starts a program that ends up waiting in a runtime error report's dialog,
# sends it SIGTERM once its signal handling is in place (its signal watcher
# thread exists), and expects it to end with exit status 0.
#   terminate-during-dialog.sh command [args...]
unset KQ_ERROR_REPORT
"$@" &
pid=$!
i=0
while [ "$(ls /proc/$pid/task 2>/dev/null | wc -l)" -lt 3 ] && [ $i -lt 600 ]; do
    sleep 0.1
    i=$((i + 1))
done
sleep 2
kill -TERM $pid
wait $pid
status=$?
[ $status = 0 ] || { echo "exit status $status, expected 0"; exit 1; }
