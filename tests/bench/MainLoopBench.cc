// The main loop's cooperative check and the hand-over between cooperative
// threads. RuntimeBackgroundTask is called on every pass of compiled loops:
// it is measured against a call that does no more than it may (an increment,
// and a tick-clock read on every 50th call). A hand-over (Yield to the
// other thread and back) is measured against the usual ping-pong of two
// POSIX threads over a condition variable.
#include "BenchRatio.h"
#include "MainLoop.h"
#include "ObjectDefinition.h"
#include "RuntimeClock.h"
#include "StackCheck.h"
#include "Thread.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

int32_t gCount = 0;
int32_t gLastTicks = 0;

// What the cooperative check may cost: a counter increment, and on every
// 50th call one reading of the tick clock.
__attribute__((noinline)) void CountThenReadClock() {
    if (++gCount < 50) return;
    gCount = 0;
    gLastTicks = RuntimeTicks();
    benchmark::ClobberMemory();
}

void BM_CountThenReadClock(benchmark::State &state) {
    for (auto _ : state)
        CountThenReadClock();
}
BENCHMARK(BM_CountThenReadClock);

void BM_RuntimeBackgroundTask(benchmark::State &state) {
    for (auto _ : state)
        RuntimeBackgroundTask();
}
BENCHMARK(BM_RuntimeBackgroundTask);

bool gStop = false;

extern "C" void YieldUntilStopped(RuntimeObject *) {
    while (!gStop)
        YieldToNextThread();
}

// One round trip: the main thread yields, the other thread runs and yields
// back (two hand-overs). Both hold one ticket, so every yield hands over.
void BM_CooperativeRoundTrip(benchmark::State &state) {
    stackcheck::Main()->priority = 1; // before the scheduler starts
    RuntimeObject *thread = RuntimeNewObject(definitions::Convert(&ThreadDefinition));
    ThreadSetPriority(thread, 0, 1);
    KESTstring *run = kstr::FromC("Run");
    RuntimeInstallInstanceEventHandler(thread, run, reinterpret_cast<void *>(YieldUntilStopped));
    RuntimeUnlockString(run);
    gStop = false;
    threadRun(thread);
    for (auto _ : state)
        YieldToNextThread();
    gStop = true;
    while (ThreadGetState(thread, 0) != 4)
        YieldToNextThread();
    RuntimeUnlockObject(thread);
}
BENCHMARK(BM_CooperativeRoundTrip)->UseRealTime()->MeasureProcessCPUTime();

void BM_ConditionVariableRoundTrip(benchmark::State &state) {
    std::mutex mutex;
    std::condition_variable turn;
    int owner = 0; // 0 this thread, 1 the other
    bool stop = false;
    std::thread other([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            turn.wait(lock, [&] { return owner == 1 || stop; });
            if (stop) return;
            owner = 0;
            turn.notify_one();
        }
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (auto _ : state) {
            owner = 1;
            turn.notify_one();
            turn.wait(lock, [&] { return owner == 0; });
        }
        stop = true;
        turn.notify_one();
    }
    other.join();
}
BENCHMARK(BM_ConditionVariableRoundTrip)->UseRealTime()->MeasureProcessCPUTime();

} // namespace

KQ_BENCH_RATIO("RuntimeBackgroundTask against an increment and a tick read per 50 calls",
               BM_CountThenReadClock, BM_RuntimeBackgroundTask, 1.5);
KQ_BENCH_RATIO("cooperative round trip against a condition-variable round trip",
               BM_ConditionVariableRoundTrip, BM_CooperativeRoundTrip, 4.0);
