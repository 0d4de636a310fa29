// The Thread class: its declaration, starting a POSIX thread for Run, the
// thread operations, killing with ThreadEndException, and the background
// task that gives threads their turns from the main loop.
#include "Thread.h"

#include "BackgroundTask.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "ThreadScheduler.h"

namespace {

const char kSource[] = "Common/ClassLib/Thread";
constexpr int32_t kDefaultStackSize = 65536;
constexpr int32_t kDefaultPriority = 5;

EventEntry kThreadEvents[] = {KQ_EVENT("Run", "", nullptr)};

const PropertyEntry kThreadProperties[] = {
    KQ_PROPERTY("StackSize", &kTypeInteger, ThreadGetStackSize, ThreadSetStackSize, 0),
    KQ_READONLY_PROPERTY("ThreadID", &kTypeInteger, ThreadGetID, 0),
    KQ_PROPERTY("Priority", &kTypeInteger, ThreadGetPriority, ThreadSetPriority, 0),
    KQ_READONLY_PROPERTY("State", &kTypeInteger, ThreadGetState, 0),
};

const ParameterEntry kSleepParameters[] = {
    KQ_PARAMETER("milliseconds", &kTypeInteger),
    KQ_OPTIONAL_PARAMETER("wakeEarly", &kTypeBoolean, "False"),
};

const MethodEntry kThreadMethods[] = {
    KQ_METHOD("Run", nullptr, KQ_NO_TABLE, threadRun),
    KQ_METHOD("Suspend", nullptr, KQ_NO_TABLE, ThreadSuspend),
    KQ_METHOD("Resume", nullptr, KQ_NO_TABLE, ThreadResume),
    KQ_METHOD("Sleep", nullptr, KQ_TABLE(kSleepParameters), ThreadSleep),
    KQ_METHOD("Kill", nullptr, KQ_NO_TABLE, ThreadKill),
};

const RuntimeClassDeclaration kThreadDeclaration = {"Thread",
                                                    nullptr,
                                                    sizeof(ThreadObject),
                                                    KQ_ANYWHERE,
                                                    false,
                                                    KQ_TABLE(kThreadProperties),
                                                    KQ_TABLE(kThreadMethods),
                                                    KQ_TABLE(kThreadEvents),
                                                    KQ_NO_TABLE,
                                                    KQ_NO_TABLE,
                                                    KQ_FUNCTION(ThreadInitializer),
                                                    KQ_NO_FUNCTION};

// The polled task that exists while any Thread runs: every main-loop
// iteration (and every due RuntimeBackgroundTask check) yields through it.
class ThreadBackgroundTask : public BackgroundTask {
  public:
    ThreadBackgroundTask() : BackgroundTask(0) { RemoveTimeout(); }
    // The task may be destroyed by the thread this hands over to; nothing of
    // it is touched after the yield.
    void Fire() override { threads::Yield(); }
};

ThreadBackgroundTask *gThreadTask = nullptr;

ThreadObject *ThreadOf(RuntimeObject *thread) {
    if (thread == nullptr) RaiseNilObjectException();
    return reinterpret_cast<ThreadObject *>(thread);
}

void *ThreadMain(void *data) {
    auto *record = static_cast<RuntimeThreadImp *>(data);
    threads::EnterNewThread(record);
    RuntimeObject *thread = record->thread;
    auto *t = reinterpret_cast<ThreadObject *>(thread);
    int32_t stackSize = t->stackSize > 0 ? t->stackSize : kDefaultStackSize;
    record->ownStack.base = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    record->ownStack.limit = record->ownStack.base - uintptr_t(stackSize);
    events::Raise(thread, kThreadEvents[0].item);
    threads::RemoveTickets(record, -1);
    t->record = nullptr;
    record->thread = nullptr;
    RuntimeUnlockObject(thread);
    threads::Retire(record);
    if (threads::OnlyMainThreadAlive()) {
        delete gThreadTask; // the main loop may block again
        gThreadTask = nullptr;
    }
    threads::LeaveForGood();
    return nullptr;
}

} // namespace

ObjectDefinition ThreadDefinition(&kThreadDeclaration);

namespace threads {

void KillAll() {
    for (;;) {
        RuntimeThreadImp *victim = nullptr;
        for (RuntimeThreadImp *t = ThreadListHead(); t != nullptr && victim == nullptr; t = t->next)
            if (t != Current() && t->thread != nullptr) victim = t;
        if (victim == nullptr) return;
        ThreadKill(victim->thread);
    }
}

} // namespace threads

extern "C" {

void ThreadInitializer(RuntimeObject *thread) {
    reinterpret_cast<ThreadObject *>(thread)->priority = kDefaultPriority;
}

void threadRun(RuntimeObject *thread) {
    ThreadObject *t = ThreadOf(thread);
    if (t == nullptr) return;
    if (t->record != nullptr) {
        exceptions::RaiseWithMessage(&ThreadAlreadyRunningExceptionDefinition,
                                     "You cannot call Run on a thread that is already running.", 0);
        return;
    }
    threads::EnsureStarted();
    threads::MarkAwake(threads::Current());
    auto *record = new RuntimeThreadImp;
    threads::Link(record);
    record->thread = thread;
    t->record = record;
    threads::AddTickets(record, t->priority);
    RuntimeLockObject(thread);
    int err = pthread_create(&record->threadId, nullptr, ThreadMain, record);
    KQ_ASSERT_TEXT(kSource, 0 == err, "0 == err", nullptr);
    if (err != 0) {
        threads::RemoveTickets(record, -1);
        threads::Unlink(record);
        t->record = nullptr;
        delete record;
        RuntimeUnlockObject(thread);
        return;
    }
    pthread_detach(record->threadId);
    // From now on the main loop must not block: the new thread's first turn
    // may come only through the task.
    if (gThreadTask == nullptr) gThreadTask = new ThreadBackgroundTask;
    threads::Yield();
}

void ThreadSuspend(RuntimeObject *thread) {
    ThreadObject *t = ThreadOf(thread);
    if (t != nullptr && t->record != nullptr) threads::Suspend(t->record);
}

void ThreadResume(RuntimeObject *thread) {
    ThreadObject *t = ThreadOf(thread);
    if (t != nullptr && t->record != nullptr) threads::Resume(t->record);
}

void ThreadSleep(RuntimeObject *thread, int32_t milliseconds, bool wakeEarly) {
    ThreadObject *t = ThreadOf(thread);
    if (t != nullptr && t->record != nullptr)
        threads::Sleep(t->record, uint32_t(milliseconds > 0 ? milliseconds : 0), wakeEarly);
}

void ThreadKill(RuntimeObject *thread) {
    ThreadObject *t = ThreadOf(thread);
    if (t == nullptr || t->record == nullptr) return;
    Ref<> keep(thread); // the thread's own reference ends with it
    RuntimeThreadImp *record = t->record;
    record->suspendCount = 0;
    threads::MarkAwake(record);
    if (record == threads::Current()) {
        exceptions::RaiseDefinition(&ThreadEndExceptionDefinition);
        return;
    }
    record->killRequested = true;
    threads::Resume(record);
    while (t->record == record)
        threads::Yield();
}

int32_t ThreadGetStackSize(RuntimeObject *thread, int32_t) {
    ThreadObject *t = ThreadOf(thread);
    if (t == nullptr) return 0;
    return t->stackSize < 1 ? kDefaultStackSize : t->stackSize;
}

void ThreadSetStackSize(RuntimeObject *thread, int32_t, int32_t size) {
    ThreadObject *t = ThreadOf(thread);
    if (t == nullptr) return;
    if (t->record != nullptr) {
        exceptions::RaiseDefinition(&ThreadAlreadyRunningExceptionDefinition);
        return;
    }
    t->stackSize = size < 1 ? kDefaultStackSize : size;
}

int32_t ThreadGetID(RuntimeObject *thread, int32_t) {
    ThreadObject *t = ThreadOf(thread);
    return t != nullptr ? int32_t(reinterpret_cast<uintptr_t>(t->record)) : 0;
}

int32_t ThreadGetPriority(RuntimeObject *thread, int32_t) {
    ThreadObject *t = ThreadOf(thread);
    return t != nullptr ? t->priority : 0;
}

void ThreadSetPriority(RuntimeObject *thread, int32_t, int32_t value) {
    ThreadObject *t = ThreadOf(thread);
    if (t == nullptr || value < 1) return;
    int32_t difference = value - t->priority;
    t->priority = value;
    if (t->record == nullptr) return;
    if (difference > 0)
        threads::AddTickets(t->record, difference);
    else
        threads::RemoveTickets(t->record, -difference);
}

int32_t ThreadGetState(RuntimeObject *thread, int32_t) {
    ThreadObject *t = ThreadOf(thread);
    if (t == nullptr || t->record == nullptr) return 4;
    uint8_t state = t->record->state;
    if (state == 0) return 0;
    if (state & kThreadWaiting) return 1;
    if (state & kThreadSuspended) return 2;
    if (state & kThreadSleeping) return 3;
    return 4;
}

void YieldToNextThread(void) {
    threads::Yield();
}

RuntimeObject *KESTGetCurrentThread(void) {
    RuntimeObject *thread = threads::Current()->thread;
    RuntimeLockObject(thread);
    return thread;
}

void AppSleepCurrentThread(RuntimeObject *, int32_t milliseconds) {
    threads::EnsureStarted();
    threads::Sleep(threads::Current(), uint32_t(milliseconds > 0 ? milliseconds : 0), false);
}

} // extern "C"
