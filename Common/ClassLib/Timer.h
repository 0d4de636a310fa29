// Timer: an object whose Action event runs once (mode 1) or every Period
// milliseconds (mode 2) while Enabled, driven by a GLib timeout source that
// GTK+ dispatches inside a main-loop iteration. Setting Mode, Period or
// Enabled removes the running source and adds a new one when the timer is
// on, so each of them restarts the countdown. Subscribed action receivers
// (the actionSource interface) hear of each firing before Action.
#pragma once

#include "RuntimeObject.h"

#include <cstddef>
#include <cstdint>

struct TimerReceiver; // a subscribed receiver, newest first

struct TimerObject {
    RuntimeObject header;
    TimerObject *next; // the process's timers, newest first
    int32_t mode;      // 0 off, 1 single, 2 multiple
    int32_t period;    // milliseconds, at least 1
    int32_t referenceTime;
    uint8_t enabled;
    uint32_t source; // the running timeout source, 0 when none
    TimerReceiver *receivers;
    int32_t imp; // __kqf_mImp: free for the image's own use
};
static_assert(offsetof(TimerObject, next) == 24, "Timer.next");
static_assert(offsetof(TimerObject, mode) == 28, "Timer.mode");
static_assert(offsetof(TimerObject, period) == 32, "Timer.period");
static_assert(offsetof(TimerObject, referenceTime) == 36, "Timer.referenceTime");
static_assert(offsetof(TimerObject, enabled) == 40, "Timer.enabled");
static_assert(offsetof(TimerObject, source) == 44, "Timer.source");
static_assert(offsetof(TimerObject, receivers) == 48, "Timer.receivers");
static_assert(offsetof(TimerObject, imp) == 52, "Timer.imp");
constexpr uint32_t kTimerInstanceSize = 64;
static_assert(sizeof(TimerObject) <= kTimerInstanceSize, "Timer fields fit its instance");

extern "C" {
void RuntimeTimerConstructor(RuntimeObject *timer);
void RuntimeTimerDestructor(RuntimeObject *timer);
void timerModeSetter(RuntimeObject *timer, int32_t parameter, int32_t value);
void timerPeriodSetter(RuntimeObject *timer, int32_t parameter, int32_t value);
void TimerEnabledSetter(RuntimeObject *timer, int32_t parameter, bool value);
void RuntimeTimerReset(RuntimeObject *timer);
void TimerAddActionNotificationReceiver(RuntimeObject *timer, RuntimeObject *receiver);
void TimerRemoveActionNotificationReceiver(RuntimeObject *timer, RuntimeObject *receiver);
}
