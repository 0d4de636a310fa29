// The runtime's clocks: ticks (sixtieths of a second, from the elapsed-time
// count of `times`), the millisecond clock derived from them, microseconds
// from `gettimeofday`, the time of the event being handled, and the small
// process-wide services beside them (beep, the auto wait-cursor counter).
#pragma once

#include <cstdint>

struct RuntimeObject;

namespace runclock {

// The tick clock (RuntimeTicks).
int32_t Ticks();

// The millisecond clock of timers and the thread scheduler: ticks × 50 / 3,
// wrapped to 32 bits (its resolution is one tick).
uint32_t Milliseconds();

// Milliseconds as a timeout source wants them for a period in ticks:
// period × 125 × 8 / 60 in signed 32-bit arithmetic.
int32_t TicksToTimeoutMilliseconds(int32_t ticks);

} // namespace runclock

extern "C" {
int32_t RuntimeTicks(void);
double RuntimeMicroseconds(void);
// The time stamp of the GTK+ event being handled, in ticks; 0 outside events.
int32_t AppGetCurrentEventTime(RuntimeObject *app);
void RuntimeBeep(void);
void DisableAutoWaitCursor(void);
void EnableAutoWaitCursor(void);
}
