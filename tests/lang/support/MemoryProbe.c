/* Library functions for the window-rounds test: the process's memory in
   KiB. KQResidentKiB is the resident set from /proc/self/statm (its second
   field counts pages; under an emulator it includes the emulator's own
   memory), KQHeapKiB the bytes that malloc has handed out and not got back
   (HeapInUse.h); -1 when a figure cannot be read. KQEventsPending tells whether GDK has
   events waiting, so that the rounds go no faster than the windows' events
   are handled (a backlog would grow Xlib's event queue, not the program). */
#include "../../support/HeapInUse.h"

#include <gdk/gdk.h>
#include <stdio.h>
#include <unistd.h>

int KQResidentKiB(void) {
    FILE *statm = fopen("/proc/self/statm", "r");
    long size = 0, resident = -1;
    if (statm == NULL) return -1;
    if (fscanf(statm, "%ld %ld", &size, &resident) != 2) resident = -1;
    fclose(statm);
    return resident < 0 ? -1 : (int)(resident * (sysconf(_SC_PAGESIZE) / 1024));
}

int KQHeapKiB(void) {
    return (int)(KQHeapInUse() / 1024);
}

int KQEventsPending(void) {
    return gdk_events_pending() ? 1 : 0;
}
