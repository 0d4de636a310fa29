// Cooperative threads: priority tickets, sleeping and waking early,
// suspending and resuming, killing with ThreadEndException, each thread's
// stack limit in the stack check, and threads taking their turns from the
// main loop.
#include "AppTestSupport.h"

#include "Application.h"
#include "BackgroundTask.h"
#include "MainLoop.h"
#include "StackCheck.h"
#include "Thread.h"
#include "ThreadScheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using apptest::ClassName;
using apptest::Handle;
using apptest::Log;
using apptest::New;
using apptest::NowMs;
using apptest::Raised;

namespace {

std::map<RuntimeObject *, std::string> gNames;
int gRounds = 0;
bool gStop = false;
double gSleptMs = -1;

Ref<> NewThread(const char *name, void (*run)(RuntimeObject *), int32_t priority = 5) {
    Ref<> thread = New(&ThreadDefinition);
    gNames[thread.get()] = name;
    ThreadSetPriority(thread.get(), 0, priority);
    Handle(thread.get(), "Run", reinterpret_cast<void *>(run));
    return thread;
}

bool Finished(RuntimeObject *thread) {
    return ThreadGetState(thread, 0) == 4;
}

void YieldUntil(const std::function<bool()> &done) {
    while (!done())
        YieldToNextThread();
}

std::string Turns() {
    std::string turns;
    for (const std::string &name : Log())
        turns += name;
    return turns;
}

extern "C" void CountTurns(RuntimeObject *thread) {
    for (int i = 0; i < gRounds; ++i) {
        Log().push_back(gNames[thread]);
        YieldToNextThread();
    }
}

extern "C" void TurnsUntilStopped(RuntimeObject *thread) {
    while (!gStop) {
        Log().push_back(gNames[thread]);
        YieldToNextThread();
    }
}

int YieldOnce(void *) {
    YieldToNextThread();
    return 1;
}

extern "C" void YieldForever(RuntimeObject *) {
    CompiledLoop(YieldOnce, nullptr);
}

int gKillSteps = 0;

// Compiled code does not come back to the loop once the kill has raised.
int KillSelf(void *thread) {
    ThreadKill(static_cast<RuntimeObject *>(thread));
    return ++gKillSteps < 3;
}

extern "C" void KillItself(RuntimeObject *thread) {
    CompiledLoop(KillSelf, thread);
}

extern "C" void SleepThreeHundred(RuntimeObject *thread) {
    double start = NowMs();
    ThreadSleep(thread, 300, false);
    gSleptMs = NowMs() - start;
}

extern "C" void SleepLongWakingEarly(RuntimeObject *thread) {
    double start = NowMs();
    ThreadSleep(thread, 20000, true);
    gSleptMs = NowMs() - start;
}

extern "C" void SleepLong(RuntimeObject *thread) {
    double start = NowMs();
    ThreadSleep(thread, 20000, false);
    gSleptMs = NowMs() - start;
}

extern "C" void CheckStack(RuntimeObject *) {
    RuntimeObject *caught = Raised([] { RuntimeStackCheck(); });
    Log().push_back(caught != nullptr ? ClassName(caught) : "fits");
    RuntimeUnlockObject(caught);
}

extern "C" void QuitFromThread(RuntimeObject *thread) {
    for (int i = 0; i < 20; ++i) {
        Log().push_back(gNames[thread]);
        YieldToNextThread();
    }
    KQ_ApplicationQuit(nullptr);
}

} // namespace

TEST(Threads, PriorityTenRunsTwiceAsOftenAsFivePerRound) {
    gRounds = 200;
    gStop = false;
    Ref<> ten = NewThread("A", CountTurns, 10);
    Ref<> five = NewThread("B", TurnsUntilStopped, 5);
    threadRun(five.get());
    threadRun(ten.get());
    YieldUntil([&] { return Finished(ten.get()); });
    gStop = true;
    YieldUntil([&] { return Finished(five.get()); });
    // Each round gives every ticket one turn: A's ten in a row, then B's
    // five (the main thread's five pass without a log entry).
    std::string turns = Turns();
    size_t first = turns.find("BBBBBAAAAAAAAAABBBBB");
    ASSERT_NE(first, std::string::npos) << turns;
    EXPECT_EQ(turns.find("BBBBBB"), std::string::npos) << turns;
    EXPECT_EQ(turns.find("AAAAAAAAAAA"), std::string::npos) << turns;
    EXPECT_EQ(std::count(turns.begin(), turns.end(), 'A'), 200);
    EXPECT_NEAR(double(std::count(turns.begin(), turns.end(), 'B')), 100.0, 10.0);
}

TEST(Threads, EqualPrioritiesTakeTurnsAndPriorityChangesWhileRunning) {
    gStop = false;
    Ref<> a = NewThread("A", TurnsUntilStopped);
    Ref<> b = NewThread("B", TurnsUntilStopped);
    threadRun(a.get());
    threadRun(b.get());
    for (int i = 0; i < 60; ++i)
        YieldToNextThread();
    std::string before = Turns();
    EXPECT_NE(before.find("AAAAABBBBBAAAAABBBBB"), std::string::npos) << before;
    Log().clear();
    ThreadSetPriority(b.get(), 0, 1);
    for (int i = 0; i < 60; ++i)
        YieldToNextThread();
    std::string after = Turns();
    EXPECT_NE(after.find("AAAAABAAAAAB"), std::string::npos) << after;
    EXPECT_EQ(after.find("BB"), std::string::npos) << after;
    gStop = true;
    YieldUntil([&] { return Finished(a.get()) && Finished(b.get()); });
}

TEST(Threads, StateIdentityAndRunningTwice) {
    gRounds = 3;
    Ref<> thread = NewThread("T", CountTurns);
    EXPECT_EQ(ThreadGetState(thread.get(), 0), 4) << "not run yet";
    EXPECT_EQ(ThreadGetID(thread.get(), 0), 0);
    EXPECT_EQ(KESTGetCurrentThread(), nullptr) << "the main thread has no Thread object";
    threadRun(thread.get());
    EXPECT_NE(ThreadGetID(thread.get(), 0), 0);
    RuntimeObject *again = Raised([&] { threadRun(thread.get()); });
    EXPECT_EQ(ClassName(again), "ThreadAlreadyRunningException");
    RuntimeUnlockObject(again);
    RuntimeObject *resize = Raised([&] { ThreadSetStackSize(thread.get(), 0, 1); });
    EXPECT_EQ(ClassName(resize), "ThreadAlreadyRunningException");
    RuntimeUnlockObject(resize);
    YieldUntil([&] { return Finished(thread.get()); });
    EXPECT_EQ(ThreadGetID(thread.get(), 0), 0);
    EXPECT_EQ(ThreadGetStackSize(thread.get(), 0), 65536);
    ThreadSetStackSize(thread.get(), 0, -5);
    EXPECT_EQ(ThreadGetStackSize(thread.get(), 0), 65536);
    ThreadSetPriority(thread.get(), 0, 0);
    EXPECT_EQ(ThreadGetPriority(thread.get(), 0), 5) << "priorities below 1 are ignored";
    threadRun(thread.get()); // a finished thread runs again
    YieldUntil([&] { return Finished(thread.get()); });
    EXPECT_EQ(Log().size(), 6u);
}

TEST(Threads, SleepLastsItsTimeAndWakeEarlyMayEndItAtOnce) {
    Ref<> sleeper = NewThread("S", SleepThreeHundred);
    threadRun(sleeper.get());
    YieldUntil([&] { return ThreadGetState(sleeper.get(), 0) == 3; }); // sleeping
    YieldUntil([&] { return Finished(sleeper.get()); });
    EXPECT_GE(gSleptMs, 280.0);
    EXPECT_LT(gSleptMs, 2000.0);

    // Its ticket comes first in the next round, so it is chosen asleep.
    Ref<> early = NewThread("E", SleepLongWakingEarly);
    threadRun(early.get());
    YieldUntil([&] { return Finished(early.get()); });
    EXPECT_LT(gSleptMs, 2000.0);

    // A sleeping thread that is resumed counts as awake.
    Ref<> resumed = NewThread("R", SleepLong);
    threadRun(resumed.get());
    for (int i = 0; i < 20; ++i)
        YieldToNextThread();
    EXPECT_EQ(ThreadGetState(resumed.get(), 0), 3);
    ThreadResume(resumed.get());
    YieldUntil([&] { return Finished(resumed.get()); });
    EXPECT_LT(gSleptMs, 2000.0);

    // The main thread alone sleeps the process.
    double start = NowMs();
    AppSleepCurrentThread(nullptr, 200);
    EXPECT_GE(NowMs() - start, 180.0);
}

TEST(Threads, SuspendedThreadGetsNoTurnsUntilResumed) {
    gStop = false;
    Ref<> a = NewThread("A", TurnsUntilStopped);
    threadRun(a.get());
    ThreadSuspend(a.get());
    EXPECT_EQ(ThreadGetState(a.get(), 0), 2);
    Log().clear();
    for (int i = 0; i < 30; ++i)
        YieldToNextThread();
    EXPECT_TRUE(Log().empty());
    ThreadResume(a.get());
    for (int i = 0; i < 30; ++i)
        YieldToNextThread();
    EXPECT_FALSE(Log().empty());
    gStop = true;
    YieldUntil([&] { return Finished(a.get()); });
}

TEST(Threads, KillEndsTheRunThroughThreadEndException) {
    Ref<> forever = NewThread("F", YieldForever);
    threadRun(forever.get());
    for (int i = 0; i < 10; ++i)
        YieldToNextThread();
    ThreadKill(forever.get());
    EXPECT_TRUE(Finished(forever.get()));
    EXPECT_TRUE(apptest::Unhandled().empty()) << "a ThreadEndException counts as handled";

    Ref<> suicidal = NewThread("K", KillItself);
    threadRun(suicidal.get());
    YieldUntil([&] { return Finished(suicidal.get()); });
    EXPECT_EQ(gKillSteps, 1);
    EXPECT_TRUE(apptest::Unhandled().empty());
    EXPECT_TRUE(threads::OnlyMainThreadAlive());
}

TEST(Threads, EachThreadChecksItsOwnStackLimit) {
    Ref<> roomy = NewThread("R", CheckStack);
    ThreadSetStackSize(roomy.get(), 0, 65536);
    Ref<> cramped = NewThread("C", CheckStack);
    ThreadSetStackSize(cramped.get(), 0, 4096); // less than the safety margin
    threadRun(roomy.get());
    YieldUntil([&] { return Finished(roomy.get()); });
    threadRun(cramped.get());
    YieldUntil([&] { return Finished(cramped.get()); });
    EXPECT_EQ(apptest::Joined(Log()), "fits StackOverflowException");
    EXPECT_EQ(stackcheck::Current(), stackcheck::Main());
    RuntimeObject *mainCheck = Raised([] { RuntimeStackCheck(); });
    EXPECT_EQ(mainCheck, nullptr);
}

TEST(Threads, MainLoopGivesTurnsAndQuitFromAThreadEndsIt) {
    Ref<> app = New(&ApplicationDefinition);
    AppAutoCloseSetter(app.get(), 0, false);
    application::SetCurrent(app.get());
    Ref<> thread = NewThread("T", QuitFromThread);
    apptest::RunAsImage([&] {
        threadRun(thread.get());
        EXPECT_TRUE(AnyPolledBackgroundTask()) << "the loop must not block while threads run";
        RuntimeRun();
    });
    EXPECT_EQ(Turns(), "TTTTTTTTTTTTTTTTTTTT");
    EXPECT_TRUE(Finished(thread.get()));
    EXPECT_FALSE(AnyPolledBackgroundTask()) << "the last thread takes the task along";
    EXPECT_TRUE(mainloop::QuitRequested());
    EXPECT_EQ(application::Current(), nullptr);
}
