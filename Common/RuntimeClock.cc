// The runtime's clocks (see RuntimeClock.h).
#include "RuntimeClock.h"

#include <gtk/gtk.h>

#include <sys/time.h>
#include <sys/times.h>
#include <unistd.h>

namespace {

// Ticks per clock tick of the operating system, computed once.
double TicksPerClockTick() {
    static const double ratio = 60.0 / double(sysconf(_SC_CLK_TCK));
    return ratio;
}

int32_t gAutoWaitCursorNesting = 0;

} // namespace

namespace runclock {

int32_t Ticks() {
    struct tms unused;
    int32_t clockTicks = int32_t(times(&unused));
    return int32_t(double(clockTicks) * TicksPerClockTick());
}

uint32_t Milliseconds() {
    return uint32_t(int64_t(Ticks()) * 50 / 3);
}

int32_t TicksToTimeoutMilliseconds(int32_t ticks) {
    return int32_t(uint32_t(ticks) * 125u * 8u) / 60;
}

} // namespace runclock

extern "C" {

int32_t RuntimeTicks(void) {
    return runclock::Ticks();
}

double RuntimeMicroseconds(void) {
    struct timeval now;
    gettimeofday(&now, nullptr);
    return double(now.tv_sec) * 1000000.0 + double(now.tv_usec);
}

int32_t AppGetCurrentEventTime(RuntimeObject *) {
    int32_t milliseconds = int32_t(gtk_get_current_event_time());
    return int32_t(double(milliseconds) / 1000.0 * 60.0);
}

void RuntimeBeep(void) {
    // Without a display (console applications) there is nothing to beep on.
    if (gdk_display_get_default() != nullptr) gdk_beep();
}

void DisableAutoWaitCursor(void) {
    ++gAutoWaitCursorNesting;
}

void EnableAutoWaitCursor(void) {
    --gAutoWaitCursorNesting;
}

} // extern "C"
