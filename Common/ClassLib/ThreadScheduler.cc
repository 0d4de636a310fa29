// The thread lock, the thread list and the priority-ticket scheduler (see
// ThreadScheduler.h).
#include "ThreadScheduler.h"

#include "ObjectDefinition.h"
#include "RuntimeClock.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"

#include <ctime>
#include <sched.h>

namespace {

const char kSource[] = "Common/ClassLib/ThreadScheduler";
const char kDeadlockMessage[] =
    "Infinite loop detected in the thread scheduler.  This is likely caused by incorrectly "
    "locking resources with semaphores or critical sections.";
constexpr int32_t kDefaultPriority = 5;

struct Ticket {
    RuntimeThreadImp *thread;
    bool used; // has had its turn this round
};

pthread_mutex_t gThreadLock = PTHREAD_MUTEX_INITIALIZER;
bool gStarted = false;
RuntimeThreadImp gMainThread;
RuntimeThreadImp *gCurrent = &gMainThread;
RuntimeThreadImp *gThreads = &gMainThread; // newest first, main last
RuntimeThreadImp *gDead = nullptr;         // records waiting to be freed
SimpleVector<Ticket> gTickets;
bool gReportedDeadlock = false;

bool IsAwake(const RuntimeThreadImp *t, uint32_t now) {
    return now >= t->wakeTime || now < t->sleepStart;
}

bool IsRunnable(const RuntimeThreadImp *t, uint32_t now) {
    return t->suspendCount <= 0 && IsAwake(t, now);
}

bool AnyUnsuspended() {
    for (RuntimeThreadImp *t = gThreads; t != nullptr; t = t->next)
        if (t->suspendCount <= 0) return true;
    return false;
}

// Sleeps the process until the earliest wake time of an unsuspended
// sleeping thread; returns at once when there is none.
void SleepUntilNextWake() {
    uint32_t now = runclock::Milliseconds();
    bool found = false;
    uint32_t shortest = 0;
    for (RuntimeThreadImp *t = gThreads; t != nullptr; t = t->next) {
        if (t->suspendCount > 0 || IsAwake(t, now)) continue;
        uint32_t remaining = t->wakeTime - now;
        if (!found || remaining < shortest) shortest = remaining;
        found = true;
    }
    if (!found) return;
    struct timespec pause = {time_t(shortest / 1000), long(shortest % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

// The scheduler; null when no thread may run (a deadlock, or nothing awake
// while sleeping is not allowed).
RuntimeThreadImp *Choose(bool allowSleep) {
    for (;;) {
        if (gThreads == &gMainThread && gMainThread.next == nullptr) {
            if (allowSleep && !IsRunnable(&gMainThread, runclock::Milliseconds()))
                SleepUntilNextWake();
            return &gMainThread;
        }
        if (!AnyUnsuspended()) {
            if (!gReportedDeadlock) {
                gReportedDeadlock = true;
                RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, "0",
                                   kDeadlockMessage);
            }
            return nullptr;
        }
        uint32_t now = runclock::Milliseconds();
        Ticket *taken = nullptr, *usedAwake = nullptr;
        for (Ticket &ticket : gTickets) {
            RuntimeThreadImp *t = ticket.thread;
            if (t->suspendCount > 0) continue;
            bool awake = IsAwake(t, now);
            if (!ticket.used && (awake || t->wakeEarly)) {
                taken = &ticket;
                break;
            }
            if (ticket.used && awake && usedAwake == nullptr) usedAwake = &ticket;
        }
        if (taken == nullptr) {
            for (Ticket &ticket : gTickets)
                ticket.used = false;
            taken = usedAwake;
        }
        if (taken == nullptr) {
            if (!allowSleep) return nullptr;
            SleepUntilNextWake();
            continue;
        }
        taken->used = true;
        taken->thread->state = 0;
        return taken->thread;
    }
}

void FreeDeadRecords() {
    while (gDead != nullptr) {
        RuntimeThreadImp *record = gDead;
        gDead = record->next;
        delete record;
    }
}

} // namespace

namespace threads {

void EnsureStarted() {
    if (gStarted) return;
    gStarted = true;
    pthread_mutex_lock(&gThreadLock);
    gMainThread.threadId = pthread_self();
    gMainThread.stack = stackcheck::Main();
    int32_t priority = stackcheck::Main()->priority;
    AddTickets(&gMainThread, priority > 0 ? priority : kDefaultPriority);
}

RuntimeThreadImp *Current() {
    return gCurrent;
}

RuntimeThreadImp *MainRecord() {
    return &gMainThread;
}

bool OnMainThread() {
    return gCurrent == &gMainThread;
}

RuntimeThreadImp *ThreadListHead() {
    return gThreads;
}

bool OnlyMainThreadAlive() {
    return gThreads == &gMainThread && gMainThread.next == nullptr;
}

void Link(RuntimeThreadImp *record) {
    record->next = gThreads;
    gThreads = record;
}

void Unlink(RuntimeThreadImp *record) {
    for (RuntimeThreadImp **link = &gThreads; *link != nullptr; link = &(*link)->next)
        if (*link == record) {
            *link = record->next;
            record->next = nullptr;
            return;
        }
}

void AddTickets(RuntimeThreadImp *record, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        if (gTickets.Append(Ticket{record, false})) ++record->tickets;
}

void RemoveTickets(RuntimeThreadImp *record, int32_t count) {
    for (uint32_t i = gTickets.Count(); i > 0 && count != 0;) {
        if (gTickets[--i].thread != record) continue;
        gTickets.RemoveAt(i);
        --record->tickets;
        --count;
    }
}

RuntimeThreadImp *ChooseNext() {
    RuntimeThreadImp *next = Choose(true);
    return next != nullptr ? next : &gMainThread;
}

void EnterNewThread(RuntimeThreadImp *record) {
    pthread_mutex_lock(&gThreadLock);
    record->threadId = pthread_self();
    // A new thread starts when the scheduler gives it its first turn, as
    // every hand-over is the scheduler's choice.
    while (gCurrent != record) {
        pthread_mutex_unlock(&gThreadLock);
        sched_yield();
        pthread_mutex_lock(&gThreadLock);
    }
    stackcheck::SetCurrent(record->stack);
}

void Yield() {
    EnsureStarted();
    RuntimeThreadImp *me = gCurrent;
    KQ_ASSERT_TEXT(kSource, pthread_equal(pthread_self(), me->threadId),
                   "pthread_equal( current, sCurrentThread->mThreadID )", nullptr);
    gCurrent = ChooseNext();
    while (!pthread_equal(gCurrent->threadId, pthread_self())) {
        pthread_mutex_unlock(&gThreadLock);
        sched_yield();
        pthread_mutex_lock(&gThreadLock);
    }
    stackcheck::SetCurrent(me->stack);
    if (me->killRequested) exceptions::RaiseDefinition(&ThreadEndExceptionDefinition);
    FreeDeadRecords();
}

void Retire(RuntimeThreadImp *record) {
    Unlink(record);
    record->dead = true;
    record->state = kThreadFinished;
    record->next = gDead;
    gDead = record;
}

void LeaveForGood() {
    gCurrent = ChooseNext();
    pthread_mutex_unlock(&gThreadLock);
}

void Sleep(RuntimeThreadImp *record, uint32_t milliseconds, bool wakeEarly) {
    uint32_t now = runclock::Milliseconds();
    record->sleepStart = now;
    record->wakeTime = now + milliseconds;
    record->wakeEarly = wakeEarly;
    record->state |= kThreadSleeping;
    if (record == gCurrent) Yield();
}

void Suspend(RuntimeThreadImp *record) {
    ++record->suspendCount;
    record->state |= kThreadSuspended;
    if (record == gCurrent) Yield();
}

void Resume(RuntimeThreadImp *record) {
    if (record->suspendCount > 0) --record->suspendCount;
    record->state &= uint8_t(~(kThreadSuspended | kThreadSleeping));
    MarkAwake(record);
}

void MarkAwake(RuntimeThreadImp *record) {
    record->wakeTime = record->sleepStart = runclock::Milliseconds() - 1;
}

bool WaitQueue::Wait() {
    EnsureStarted();
    RuntimeThreadImp *me = gCurrent;
    if (!mWaiters.Append(me)) return false;
    ++me->suspendCount;
    me->state |= kThreadWaiting;
    Yield();
    me->state &= uint8_t(~kThreadWaiting);
    for (uint32_t i = 0; i < mWaiters.Count(); ++i)
        if (mWaiters[i] == me) { // no release took it out
            mWaiters.RemoveAt(i);
            if (me->suspendCount > 0) --me->suspendCount;
            return false;
        }
    return true;
}

RuntimeThreadImp *WaitQueue::Release() {
    if (mWaiters.IsEmpty()) return nullptr;
    RuntimeThreadImp *first = mWaiters[0];
    mWaiters.RemoveAt(0);
    if (first->suspendCount > 0) --first->suspendCount;
    return first;
}

} // namespace threads
