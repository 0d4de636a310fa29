// Work the main loop does besides handling events:
//
// BackgroundTask: periodic work with a period in ticks. A new task gets a
// repeating GTK+ timeout that calls Fire; a task that removes its timeout
// (RemoveTimeout, as the shell and thread tasks do right after
// construction) is in polled mode: it runs only when the main loop or
// RuntimeBackgroundTask runs the due polled tasks, and while one exists no
// main-loop iteration blocks.
//
// Pollable: an object polled once per main-loop iteration, last added first.
// Native code (plug-ins) adds its own; RuntimeObjectPoll adapts an image
// object that implements the `_Pollable` interface.
//
// Both lists are walked from the end by index: a task or object removed
// during a walk shortens the list and the walk goes on below it.
#pragma once

#include "RuntimeObject.h"

#include <cstdint>

class BackgroundTask {
  public:
    // Records the period, schedules the timeout and appends the task.
    explicit BackgroundTask(int32_t periodTicks);
    // Removes the timeout and every occurrence of the task from the list.
    virtual ~BackgroundTask();
    BackgroundTask(const BackgroundTask &) = delete;
    BackgroundTask &operator=(const BackgroundTask &) = delete;

    virtual void Fire() = 0;

    // Drops the timeout: the task is in polled mode from then on.
    void RemoveTimeout();
    bool IsPolled() const { return mTimeoutId == 0; }

  private:
    friend void RunDueBackgroundTasks(bool polledOnly);
    uint32_t mTimeoutId = 0; // GTK+ timeout source, 0 when none
    int32_t mLastRun = 0;    // tick count of the last run
    int32_t mPeriod;         // ticks
};

// Runs every due task: a task is due when its last run plus its period is
// not above the tick clock read once at the start. With `polledOnly`, tasks
// that have a timeout are left to it (the main loop's way); native code may
// run them all.
void RunDueBackgroundTasks(bool polledOnly);

// Whether any task is in polled mode (then the main loop must not block).
bool AnyPolledBackgroundTask();

class Pollable {
  public:
    Pollable() = default;
    virtual ~Pollable() = default;
    Pollable(const Pollable &) = delete;
    Pollable &operator=(const Pollable &) = delete;
    virtual void Poll() = 0;
};

namespace polling {
void Add(Pollable *item);
void Remove(Pollable *item); // every occurrence
void PollAll();              // from the last added to the first
} // namespace polling

// The adapter for an image object: a counted reference to the object and the
// address of its `_Poll` method, null when its class does not implement
// `_Pollable` (then polling it does nothing).
class RuntimeObjectPoll : public Pollable {
  public:
    explicit RuntimeObjectPoll(RuntimeObject *object);
    void Poll() override;
    RuntimeObject *Object() const { return mObject.get(); }

  private:
    Ref<> mObject;
    void *mPollMethod;
};
