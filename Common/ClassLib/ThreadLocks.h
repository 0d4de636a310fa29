// The lock classes of the cooperative threads: Semaphore, CriticalSection
// (re-entrant by its owner) and Mutex (re-entrant by its owner, and exclusive
// between processes through a lock file). Misuse raises
// IllegalLockingException with error numbers 1 to 3.
#pragma once

#include "RuntimeObject.h"

extern "C" {
void SemaphoreInitializer(RuntimeObject *semaphore);
void SemaphoreFinalizer(RuntimeObject *semaphore);
void Semaphore_Constructor(RuntimeObject *semaphore, int32_t initialCount);
void Semaphore_Signal(RuntimeObject *semaphore);
bool Semaphore_TrySignal(RuntimeObject *semaphore);
void semaphore_release(RuntimeObject *semaphore);

void CriticalSectionInitializer(RuntimeObject *section);
void CriticalSectionFinalizer(RuntimeObject *section);
void criticalsection_enter(RuntimeObject *section);
bool CriticalSection_TryEnter(RuntimeObject *section);
void criticalsection_leave(RuntimeObject *section);

void MutexInitializer(RuntimeObject *mutex);
void MutexFinalizer(RuntimeObject *mutex);
void MutexContructor(RuntimeObject *mutex, KESTstring *name);
void MutexLock(RuntimeObject *mutex);
bool MutexTryLock(RuntimeObject *mutex);
void MutexUnlock(RuntimeObject *mutex);
}
