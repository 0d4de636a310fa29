// The Thread class of the class model and the operations other modules
// need: the running thread's Thread object and the killing of every thread
// (the application's quit request does it).
#pragma once

#include "RuntimeObject.h"

#include <cstddef>
#include <cstdint>

struct RuntimeThreadImp;

// A Thread object (36 bytes).
struct ThreadObject {
    RuntimeObject header;
    RuntimeThreadImp *record; // while running
    int32_t stackSize;        // 0: the default
    int32_t priority;
};
static_assert(offsetof(ThreadObject, record) == 24, "Thread.record");
static_assert(offsetof(ThreadObject, stackSize) == 28, "Thread.stackSize");
static_assert(offsetof(ThreadObject, priority) == 32, "Thread.priority");
static_assert(sizeof(ThreadObject) == 36, "Thread instance size");

namespace threads {
// Kills every running thread that has a Thread object, except the caller.
void KillAll();
} // namespace threads

extern "C" {
void ThreadInitializer(RuntimeObject *thread);
void threadRun(RuntimeObject *thread);
void ThreadSuspend(RuntimeObject *thread);
void ThreadResume(RuntimeObject *thread);
void ThreadSleep(RuntimeObject *thread, int32_t milliseconds, bool wakeEarly);
void ThreadKill(RuntimeObject *thread);
int32_t ThreadGetStackSize(RuntimeObject *thread, int32_t parameter);
void ThreadSetStackSize(RuntimeObject *thread, int32_t parameter, int32_t size);
int32_t ThreadGetID(RuntimeObject *thread, int32_t parameter);
int32_t ThreadGetPriority(RuntimeObject *thread, int32_t parameter);
void ThreadSetPriority(RuntimeObject *thread, int32_t parameter, int32_t value);
int32_t ThreadGetState(RuntimeObject *thread, int32_t parameter);
void YieldToNextThread(void);
RuntimeObject *KESTGetCurrentThread(void);
void AppSleepCurrentThread(RuntimeObject *app, int32_t milliseconds);
}
