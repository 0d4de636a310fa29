// Semaphore, CriticalSection and Mutex between cooperative threads and, for
// Mutex, between processes; misuse and the deadlock report.
#include "AppTestSupport.h"

#include "Thread.h"
#include "ThreadLocks.h"
#include "ThreadScheduler.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using apptest::ClassName;
using apptest::Handle;
using apptest::Log;
using apptest::New;
using apptest::Raised;

namespace {

RuntimeObject *gLock = nullptr; // the lock the threads of a test work on

Ref<> StartThread(void (*run)(RuntimeObject *)) {
    Ref<> thread = New(&ThreadDefinition);
    Handle(thread.get(), "Run", reinterpret_cast<void *>(run));
    threadRun(thread.get());
    return thread;
}

void YieldTimes(int count) {
    for (int i = 0; i < count; ++i)
        YieldToNextThread();
}

bool Finished(RuntimeObject *thread) {
    return ThreadGetState(thread, 0) == 4;
}

void Finish(RuntimeObject *thread) {
    while (!Finished(thread))
        YieldToNextThread();
}

// Checks the message and error number of a raised exception and drops it.
void ExpectLockingError(RuntimeObject *exc, int32_t number, const char *message) {
    ASSERT_EQ(ClassName(exc), "IllegalLockingException");
    auto *e = reinterpret_cast<RuntimeExceptionObject *>(exc);
    EXPECT_EQ(e->errorNumber, number);
    EXPECT_STREQ(kstr::Text(e->message), message);
    RuntimeUnlockObject(exc);
}

extern "C" void SignalSemaphore(RuntimeObject *) {
    Log().push_back("waiting");
    Semaphore_Signal(gLock);
    Log().push_back("got it");
    semaphore_release(gLock);
}

extern "C" void TryEnterSection(RuntimeObject *) {
    Log().push_back(CriticalSection_TryEnter(gLock) ? "entered" : "kept out");
}

extern "C" void EnterSection(RuntimeObject *) {
    criticalsection_enter(gLock);
    Log().push_back("entered");
    criticalsection_leave(gLock);
}

extern "C" void TryMutex(RuntimeObject *) {
    Log().push_back(MutexTryLock(gLock) ? "locked" : "kept out");
}

extern "C" void LockMutex(RuntimeObject *) {
    MutexLock(gLock);
    Log().push_back("locked");
    MutexUnlock(gLock);
}

extern "C" void LeaveForeignSection(RuntimeObject *) {
    RuntimeObject *exc = Raised([] { criticalsection_leave(gLock); });
    Log().push_back(ClassName(exc));
    RuntimeUnlockObject(exc);
}

int SignalTwice(void *) {
    Semaphore_Signal(gLock); // takes the only one
    Semaphore_Signal(gLock); // waits for ever: nobody else releases
    return 0;
}

extern "C" void HoldAndWaitAgain(RuntimeObject *) {
    CompiledLoop(SignalTwice, nullptr);
}

std::string TempPath(const std::string &name) {
    return std::string(g_get_tmp_dir()) + "/" + name;
}

// The exit status of a child process running `body`.
int InChild(const std::function<int()> &body) {
    pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(Locks, SemaphoreCountsAndRefusesToBeReleasedTooOften) {
    Ref<> semaphore = New(&SemaphoreDefinition);
    ExpectLockingError(Raised([&] { Semaphore_Constructor(semaphore.get(), 0); }), 1,
                       "Illegal initialCount for the Semaphore.");
    Semaphore_Constructor(semaphore.get(), 2);
    ExpectLockingError(Raised([&] { semaphore_release(semaphore.get()); }), 0,
                       "Called Semaphore.Release too many times.");
    EXPECT_TRUE(Semaphore_TrySignal(semaphore.get())) << "the count stayed at 2";
    EXPECT_TRUE(Semaphore_TrySignal(semaphore.get()));
    EXPECT_FALSE(Semaphore_TrySignal(semaphore.get()));
    semaphore_release(semaphore.get());
    semaphore_release(semaphore.get());
    ExpectLockingError(Raised([&] { semaphore_release(semaphore.get()); }), 0,
                       "Called Semaphore.Release too many times.");
}

TEST(Locks, SemaphoreWaiterRunsWhenReleased) {
    Ref<> semaphore = New(&SemaphoreDefinition);
    gLock = semaphore.get();
    Semaphore_Signal(gLock);
    Ref<> waiter = StartThread(SignalSemaphore);
    YieldTimes(20);
    EXPECT_EQ(apptest::Joined(Log()), "waiting");
    EXPECT_EQ(ThreadGetState(waiter.get(), 0), 1) << "waiting on a lock";
    semaphore_release(gLock);
    Finish(waiter.get());
    EXPECT_EQ(apptest::Joined(Log()), "waiting got it");
    EXPECT_TRUE(Semaphore_TrySignal(gLock)) << "the waiter released it again";
}

TEST(Locks, CriticalSectionIsReentrantForItsOwnerOnly) {
    Ref<> section = New(&CriticalSectionDefinition);
    gLock = section.get();
    criticalsection_enter(gLock);
    criticalsection_enter(gLock);
    Finish(StartThread(TryEnterSection).get());
    criticalsection_leave(gLock);
    Finish(StartThread(TryEnterSection).get());
    Finish(StartThread(LeaveForeignSection).get());
    Ref<> waiter = StartThread(EnterSection);
    YieldTimes(20);
    EXPECT_EQ(ThreadGetState(waiter.get(), 0), 1);
    criticalsection_leave(gLock); // the second leave opens it
    Finish(waiter.get());
    EXPECT_EQ(apptest::Joined(Log()), "kept out kept out IllegalLockingException entered");
    ExpectLockingError(Raised([] { criticalsection_leave(gLock); }), 2,
                       "The thread which Entered the CriticalSection must be the thread to Leave "
                       "the CriticalSection");
}

TEST(Locks, MutexKeepsOtherThreadsOutAndIsReentrant) {
    Ref<> mutex = New(&MutexDefinition);
    gLock = mutex.get();
    MutexContructor(gLock, nullptr); // a lock file of its own
    EXPECT_TRUE(MutexTryLock(gLock));
    EXPECT_TRUE(MutexTryLock(gLock)) << "re-entrant";
    Finish(StartThread(TryMutex).get());
    Ref<> waiter = StartThread(LockMutex);
    YieldTimes(20);
    EXPECT_EQ(ThreadGetState(waiter.get(), 0), 1);
    MutexUnlock(gLock);
    YieldTimes(20);
    EXPECT_EQ(ThreadGetState(waiter.get(), 0), 1) << "still held once";
    MutexUnlock(gLock);
    Finish(waiter.get());
    EXPECT_EQ(apptest::Joined(Log()), "kept out locked");
    ExpectLockingError(Raised([] { MutexUnlock(gLock); }), 3,
                       "The thread which Signaled the Mutex must be the thread to Release the "
                       "Mutex");
}

TEST(Locks, MutexIsHeldAcrossProcessesThroughItsLockFile) {
    std::string name = "kqtest-mutex-" + std::to_string(getpid());
    KESTstring *text = kstr::FromC(name.c_str());
    Ref<> mutex = New(&MutexDefinition);
    MutexContructor(mutex.get(), text);
    ASSERT_EQ(access(TempPath(name).c_str(), F_OK), 0);
    MutexLock(mutex.get());
    auto otherProcessGetsIt = [&] {
        return InChild([&] {
            // Kept to the end: its finalizer would delete the shared file.
            RuntimeObject *theirs = New(&MutexDefinition).Release();
            MutexContructor(theirs, text);
            return MutexTryLock(theirs) ? 1 : 0;
        });
    };
    EXPECT_EQ(otherProcessGetsIt(), 0);
    MutexUnlock(mutex.get());
    EXPECT_EQ(otherProcessGetsIt(), 1);
    RuntimeUnlockString(text);
    mutex = Ref<>();
    EXPECT_NE(access(TempPath(name).c_str(), F_OK), 0) << "the finalizer deletes the lock file";
}

TEST(Locks, MutexRefusesNamesOutsideTheTemporaryFolderAndPlantedLinks) {
    Ref<> mutex = New(&MutexDefinition);
    KESTstring *escape = kstr::FromC("../kqtest-escape");
    RuntimeObject *exc = Raised([&] { MutexContructor(mutex.get(), escape); });
    EXPECT_EQ(ClassName(exc), "IllegalLockingException");
    RuntimeUnlockObject(exc);
    RuntimeUnlockString(escape);

    std::string name = "kqtest-planted-" + std::to_string(getpid());
    std::string target = TempPath(name + "-target");
    ASSERT_EQ(symlink(target.c_str(), TempPath(name).c_str()), 0);
    KESTstring *planted = kstr::FromC(name.c_str());
    exc = Raised([&] { MutexContructor(mutex.get(), planted); });
    EXPECT_EQ(ClassName(exc), "IllegalLockingException");
    RuntimeUnlockObject(exc);
    RuntimeUnlockString(planted);
    EXPECT_NE(access(target.c_str(), F_OK), 0) << "the link was followed";
    EXPECT_FALSE(MutexTryLock(mutex.get())) << "a mutex without a lock file is never taken";
    unlink(TempPath(name).c_str());
}

TEST(Locks, DeadlockIsReportedOnceAndTheMainThreadGoesOn) {
    Ref<> semaphore = New(&SemaphoreDefinition);
    gLock = semaphore.get();
    Ref<> holder = StartThread(HoldAndWaitAgain);
    YieldTimes(20);
    EXPECT_EQ(ThreadGetState(holder.get(), 0), 1);
    std::string reports = apptest::ReportsDuring([] {
        Semaphore_Signal(gLock); // every thread now waits
        Semaphore_Signal(gLock);
    });
    const char message[] = "Infinite loop detected in the thread scheduler.  This is likely "
                           "caused by incorrectly locking resources with semaphores or critical "
                           "sections.";
    size_t first = reports.find(message);
    EXPECT_NE(first, std::string::npos) << reports;
    EXPECT_EQ(reports.find(message, first + 1), std::string::npos) << "reported once";
    ThreadKill(holder.get());
    EXPECT_TRUE(Finished(holder.get()));
    EXPECT_TRUE(apptest::Unhandled().empty());
}
