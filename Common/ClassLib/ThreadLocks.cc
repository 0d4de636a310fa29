// Semaphore and CriticalSection: locks between the cooperative threads of
// this process. A thread that cannot have the lock waits in the lock's
// first-in first-out queue (suspended, so the scheduler passes it over); a
// release takes the first waiter out and yields so that it can run.
#include "ThreadLocks.h"

#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "ThreadScheduler.h"

#include <cstddef>
#include <new>

namespace {

struct SemaphoreObject {
    RuntimeObject header;
    int32_t initialCount;
    int32_t count; // below 0: that many threads wait
    threads::WaitQueue *queue;
};
static_assert(offsetof(SemaphoreObject, initialCount) == 24, "Semaphore.initialCount");
static_assert(offsetof(SemaphoreObject, count) == 28, "Semaphore.count");
static_assert(offsetof(SemaphoreObject, queue) == 32, "Semaphore.queue");

struct CriticalSectionObject {
    RuntimeObject header;
    int32_t entryCount;
    RuntimeThreadImp *owner;
    threads::WaitQueue *queue;
};
static_assert(offsetof(CriticalSectionObject, entryCount) == 24, "CriticalSection.entryCount");
static_assert(offsetof(CriticalSectionObject, owner) == 28, "CriticalSection.owner");
static_assert(offsetof(CriticalSectionObject, queue) == 32, "CriticalSection.queue");

template <typename T>
T *Checked(RuntimeObject *object) {
    if (object == nullptr) RaiseNilObjectException();
    return reinterpret_cast<T *>(object);
}

// Wakes the first waiter, if any, and lets it run.
void WakeFirst(threads::WaitQueue *queue) {
    if (queue->Release() != nullptr) threads::Yield();
}

} // namespace

extern "C" {

void SemaphoreInitializer(RuntimeObject *object) {
    auto *s = reinterpret_cast<SemaphoreObject *>(object);
    s->initialCount = s->count = 1;
    s->queue = new threads::WaitQueue;
}

void SemaphoreFinalizer(RuntimeObject *object) {
    auto *s = reinterpret_cast<SemaphoreObject *>(object);
    delete s->queue;
    s->queue = nullptr;
}

void Semaphore_Constructor(RuntimeObject *object, int32_t initialCount) {
    auto *s = Checked<SemaphoreObject>(object);
    if (s == nullptr) return;
    if (initialCount < 1) {
        exceptions::RaiseWithMessage(&IllegalLockingExceptionDefinition,
                                     "Illegal initialCount for the Semaphore.", 1);
        return;
    }
    s->initialCount = s->count = initialCount;
}

void Semaphore_Signal(RuntimeObject *object) {
    auto *s = Checked<SemaphoreObject>(object);
    if (s == nullptr) return;
    if (--s->count >= 0) return;
    // A release hands the resource over by raising the count for this
    // waiter; a wait that ends without one gives its claim back.
    if (!s->queue->Wait()) ++s->count;
}

bool Semaphore_TrySignal(RuntimeObject *object) {
    auto *s = Checked<SemaphoreObject>(object);
    if (s == nullptr || s->count - 1 < 0) return false;
    --s->count;
    return true;
}

void semaphore_release(RuntimeObject *object) {
    auto *s = Checked<SemaphoreObject>(object);
    if (s == nullptr) return;
    if (++s->count > s->initialCount) {
        s->count = s->initialCount;
        exceptions::RaiseWithMessage(&IllegalLockingExceptionDefinition,
                                     "Called Semaphore.Release too many times.", 0);
        return;
    }
    WakeFirst(s->queue);
}

void CriticalSectionInitializer(RuntimeObject *object) {
    auto *c = reinterpret_cast<CriticalSectionObject *>(object);
    c->entryCount = 0;
    c->owner = nullptr;
    c->queue = new threads::WaitQueue;
}

void CriticalSectionFinalizer(RuntimeObject *object) {
    auto *c = reinterpret_cast<CriticalSectionObject *>(object);
    delete c->queue;
    c->queue = nullptr;
}

void criticalsection_enter(RuntimeObject *object) {
    auto *c = Checked<CriticalSectionObject>(object);
    if (c == nullptr) return;
    threads::EnsureStarted();
    // Another thread may take the section between the release that woke
    // this one and its turn: look again after every wait.
    while (c->entryCount > 0 && c->owner != threads::Current())
        if (!c->queue->Wait()) return;
    c->owner = threads::Current();
    ++c->entryCount;
}

bool CriticalSection_TryEnter(RuntimeObject *object) {
    auto *c = Checked<CriticalSectionObject>(object);
    if (c == nullptr) return false;
    threads::EnsureStarted();
    if (c->entryCount > 0 && c->owner != threads::Current()) return false;
    c->owner = threads::Current();
    ++c->entryCount;
    return true;
}

void criticalsection_leave(RuntimeObject *object) {
    auto *c = Checked<CriticalSectionObject>(object);
    if (c == nullptr) return;
    threads::EnsureStarted();
    if (c->entryCount == 0 || c->owner != threads::Current()) {
        exceptions::RaiseWithMessage(&IllegalLockingExceptionDefinition,
                                     "The thread which Entered the CriticalSection must be the "
                                     "thread to Leave the CriticalSection",
                                     2);
        return;
    }
    if (--c->entryCount > 0) return;
    c->owner = nullptr;
    WakeFirst(c->queue);
}

} // extern "C"

namespace {

const ParameterEntry kCountParameters[] = {KQ_PARAMETER("initialCount", &kTypeInteger)};

const MethodEntry kSemaphoreMethods[] = {
    KQ_METHOD("Constructor", nullptr, KQ_TABLE(kCountParameters), Semaphore_Constructor),
    KQ_METHOD("Signal", nullptr, KQ_NO_TABLE, Semaphore_Signal),
    KQ_METHOD("TrySignal", &kTypeBoolean, KQ_NO_TABLE, Semaphore_TrySignal),
    KQ_METHOD("Release", nullptr, KQ_NO_TABLE, semaphore_release),
};

const RuntimeClassDeclaration kSemaphoreDeclaration = {
    "Semaphore", nullptr,     sizeof(SemaphoreObject),           KQ_ANYWHERE,
    false,       KQ_NO_TABLE, KQ_TABLE(kSemaphoreMethods),       KQ_NO_TABLE,
    KQ_NO_TABLE, KQ_NO_TABLE, KQ_FUNCTION(SemaphoreInitializer), KQ_FUNCTION(SemaphoreFinalizer)};

const MethodEntry kCriticalSectionMethods[] = {
    KQ_METHOD("Enter", nullptr, KQ_NO_TABLE, criticalsection_enter),
    KQ_METHOD("TryEnter", &kTypeBoolean, KQ_NO_TABLE, CriticalSection_TryEnter),
    KQ_METHOD("Leave", nullptr, KQ_NO_TABLE, criticalsection_leave),
};

const RuntimeClassDeclaration kCriticalSectionDeclaration = {
    "CriticalSection",
    nullptr,
    sizeof(CriticalSectionObject),
    KQ_ANYWHERE,
    false,
    KQ_NO_TABLE,
    KQ_TABLE(kCriticalSectionMethods),
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_FUNCTION(CriticalSectionInitializer),
    KQ_FUNCTION(CriticalSectionFinalizer)};

} // namespace

ObjectDefinition SemaphoreDefinition(&kSemaphoreDeclaration);
ObjectDefinition CriticalSectionDefinition(&kCriticalSectionDeclaration);
