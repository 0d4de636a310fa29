// Cooperative threads: the thread records, the thread lock and the
// priority-ticket scheduler.
//
// Every Thread of the class model runs on a POSIX thread of its own, but one
// process-wide mutex, the thread lock, lets exactly one of them run: the
// current thread. Hand-over happens only in Yield, which asks the scheduler
// for the next thread, makes it current and then spins (unlock, lock) until
// the calling thread is current again. GTK+ and all runtime state are touched
// only under the lock, so nothing else in the runtime needs locks.
//
// Scheduling: a thread of priority P holds P tickets in one vector; each
// round gives every ticket one turn, front to back, so P is the number of
// turns per round. Sleeping threads are skipped until their wake time (on
// the millisecond clock) unless they asked to wake early; suspended threads
// (suspend count above 0, which includes waiting on a lock) are skipped.
// Only the scheduler sleeps the process, with nanosleep, until the next wake
// time. When every thread is suspended the scheduler reports the deadlock
// once per process; the main thread then runs on, so that the user
// interface stays alive.
#pragma once

#include "SimpleVector.h"
#include "StackCheck.h"

#include <cstdint>
#include <pthread.h>

struct RuntimeObject;

enum ThreadStateBits : uint8_t {
    kThreadSuspended = 1,
    kThreadSleeping = 2,
    kThreadWaiting = 4,
    kThreadFinished = 8,
};

// One running thread (RuntimeThreadImp). The main thread's record is static
// and lives as long as the process; its stack bounds are the stack
// checker's own main record.
struct RuntimeThreadImp {
    virtual ~RuntimeThreadImp() = default;
    pthread_t threadId{};
    RuntimeThreadStack *stack = &ownStack; // bounds RuntimeStackCheck uses
    RuntimeObject *thread = nullptr;       // the Thread it runs; none for main
    RuntimeThreadImp *next = nullptr;      // thread list, newest first
    uint32_t wakeTime = 0;                 // millisecond clock
    uint32_t sleepStart = 0;
    int32_t suspendCount = 0;
    int32_t tickets = 0; // its priority
    bool wakeEarly = false;
    bool dead = false;
    bool killRequested = false;
    uint8_t state = 0; // ThreadStateBits; cleared when the scheduler picks it
    RuntimeThreadStack ownStack{};
};

namespace threads {

// Called before any other operation: the main thread takes the thread lock
// and its record gets its tickets (the stack checker's main priority, 5).
// Later calls do nothing.
void EnsureStarted();

RuntimeThreadImp *Current();
RuntimeThreadImp *MainRecord();
bool OnMainThread(); // whether the running thread is the main thread
bool OnlyMainThreadAlive();
RuntimeThreadImp *ThreadListHead(); // newest first, the main thread last

// Links a new record at the head of the thread list / takes it out.
void Link(RuntimeThreadImp *record);
void Unlink(RuntimeThreadImp *record);
// Appends `count` tickets / removes the record's `count` tickets nearest the
// end of the vector (all of them for a negative count).
void AddTickets(RuntimeThreadImp *record, int32_t count);
void RemoveTickets(RuntimeThreadImp *record, int32_t count);

// The hand-over: the scheduler's choice becomes current and the caller
// waits for its next turn. A caller whose kill was requested then gets a
// ThreadEndException raised. Dead records are freed here.
void Yield();

// The scheduler's choice (sleeping allowed), or the main thread after a
// deadlock report.
RuntimeThreadImp *ChooseNext();

// The start and end of a POSIX thread's part in the scheduling:
// EnterNewThread takes the thread lock and waits for the record's first turn,
// then sets its stack bounds for the stack check; Retire moves the record of a thread whose
// Run has ended (its tickets already removed) from the thread list to the
// dead list; LeaveForGood makes the scheduler's choice current and releases
// the lock.
void EnterNewThread(RuntimeThreadImp *record);
void Retire(RuntimeThreadImp *record);
void LeaveForGood();

// The thread operations on a record (Thread methods, DoEvents' sleep).
void Sleep(RuntimeThreadImp *record, uint32_t milliseconds, bool wakeEarly);
void Suspend(RuntimeThreadImp *record);
void Resume(RuntimeThreadImp *record);
void MarkAwake(RuntimeThreadImp *record); // wake time and sleep start = now - 1

// A first-in first-out queue of threads waiting on a lock.
class WaitQueue {
  public:
    // Queues the running thread, suspended and marked waiting, and yields.
    // True when a Release took it out of the queue; false when it runs
    // again without one (it is the only thread, after a deadlock report, or
    // because it is being killed), in which case it has left the queue.
    bool Wait();
    // Takes out the first waiter and lowers its suspend count; null if none.
    RuntimeThreadImp *Release();

  private:
    SimpleVector<RuntimeThreadImp *> mWaiters;
};

} // namespace threads
