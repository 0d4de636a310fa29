// The main loop's polling: background tasks with timeouts and in polled
// mode, the cooperative check of compiled loops, polled objects, DoEvents
// and the clocks.
#include "AppTestSupport.h"

#include "Application.h"
#include "BackgroundTask.h"
#include "MainLoop.h"
#include "RuntimeClock.h"
#include "WindowList.h"

#include <glib.h>
#include <gtest/gtest.h>

using apptest::IterateUntil;
using apptest::Log;
using apptest::NowMs;

namespace {

class CountingTask : public BackgroundTask {
  public:
    CountingTask(int32_t period, bool polled) : BackgroundTask(period) {
        if (polled) RemoveTimeout();
    }
    void Fire() override { ++fired; }
    int fired = 0;
};

class SelfDestroyingTask : public BackgroundTask {
  public:
    SelfDestroyingTask() : BackgroundTask(0) { RemoveTimeout(); }
    void Fire() override {
        Log().push_back("fired once");
        delete this;
    }
};

class NamedPollable : public Pollable {
  public:
    explicit NamedPollable(const char *name) : mName(name) {}
    void Poll() override { Log().push_back(mName); }

  private:
    const char *mName;
};

extern "C" void PollImageObject(RuntimeObject *) {
    Log().push_back("_Poll");
}

// An object of a class of the image that implements `_Pollable`.
Ref<> NewPollableObject() {
    RuntimeClass *cls = RuntimeNewClass(nullptr, 0, 1, 0, 0, 0);
    cls->instanceSize = sizeof(RuntimeObject);
    RuntimeMethodEntry *methods = RuntimeNewVtable(1);
    methods[0] = {reinterpret_cast<void *>(PollImageObject), kstr::FromC("_Poll%%o<Poller>")};
    cls->interfaces()[0] = {definitions::Convert(&_PollableDefinition), 1, methods};
    return Ref<>::Adopt(RuntimeNewObject(cls));
}

} // namespace

TEST(MainLoop, TasksRunFromTheirTimeoutOrInPolledModeFromTheLoop) {
    CountingTask timed(3, false); // 50 ms
    EXPECT_FALSE(timed.IsPolled());
    EXPECT_FALSE(AnyPolledBackgroundTask());
    EXPECT_TRUE(IterateUntil([&] { return timed.fired >= 2; }));
    {
        CountingTask polled(0, true);
        EXPECT_TRUE(AnyPolledBackgroundTask());
        for (int i = 0; i < 5; ++i)
            mainloop::NestedIteration(true); // does not block: a task is polled
        EXPECT_EQ(polled.fired, 5);
    }
    EXPECT_FALSE(AnyPolledBackgroundTask()) << "destruction takes the task off the list";

    // A task may destroy itself while the list is walked.
    new SelfDestroyingTask;
    CountingTask after(0, true);
    mainloop::NestedIteration(false);
    mainloop::NestedIteration(false);
    EXPECT_EQ(apptest::Joined(Log()), "fired once");
    EXPECT_EQ(after.fired, 2);

    // A new polled task is due at once, then after each period.
    CountingTask slow(30, true); // half a second
    mainloop::NestedIteration(false);
    EXPECT_EQ(slow.fired, 1);
    int32_t start = runclock::Ticks();
    IterateUntil([&] { return slow.fired > 1; }, 3000);
    EXPECT_GE(runclock::Ticks() - start, 29);
}

TEST(MainLoop, CooperativeCheckWorksOnEveryFiftiethCallOncePerTick) {
    CountingTask polled(0, true);
    for (int i = 0; i < 49; ++i)
        RuntimeBackgroundTask();
    EXPECT_EQ(polled.fired, 0);
    // Wait for a tick of its own, then the 50th call runs the task.
    int32_t ticks = runclock::Ticks();
    while (runclock::Ticks() == ticks) {
    }
    // (On a loaded machine a tick may pass at any point: what the test
    // expects depends only on clock readings taken around the calls.)
    ticks = runclock::Ticks();
    RuntimeBackgroundTask();
    EXPECT_EQ(polled.fired, 1);
    for (int i = 0; i < 50; ++i)
        RuntimeBackgroundTask();
    if (runclock::Ticks() == ticks) {
        EXPECT_EQ(polled.fired, 1) << "the same tick runs nothing";
    }
    int fired = polled.fired;
    ticks = runclock::Ticks();
    while (runclock::Ticks() == ticks) {
    }
    for (int i = 0; i < 50; ++i)
        RuntimeBackgroundTask();
    EXPECT_EQ(polled.fired, fired + 1);
}

TEST(MainLoop, PollablesRunLastAddedFirstAndImageObjectsThroughPoll) {
    NamedPollable first("first"), second("second");
    polling::Add(&first);
    polling::Add(&second);
    Ref<> poller = NewPollableObject();
    Ref<> plain = apptest::New(&ApplicationDefinition); // does not implement _Pollable
    ApplicationAddPollableObject(nullptr, poller.get());
    ApplicationAddPollableObject(nullptr, plain.get());
    mainloop::NestedIteration(false);
    EXPECT_EQ(apptest::Joined(Log()), "_Poll second first");
    Log().clear();
    ApplicationRemovePollableObject(nullptr, poller.get());
    polling::Remove(&second);
    mainloop::NestedIteration(false);
    EXPECT_EQ(apptest::Joined(Log()), "first");
    polling::Remove(&first);
    application::RemovePollAdapters();
}

TEST(MainLoop, DoEventsHandlesPendingWorkAndSleepsOnlyWhenAsked) {
    static int idles = 0;
    auto addIdle = [] {
        g_idle_add(
            [](gpointer) -> gboolean {
                ++idles;
                return FALSE;
            },
            nullptr);
    };
    addIdle();
    double start = NowMs();
    RuntimeDoEvents(nullptr, -1);
    EXPECT_EQ(idles, 1);
    addIdle();
    RuntimeDoEvents(nullptr, 0);
    EXPECT_EQ(idles, 2);
    // Far below a second even on a loaded machine; a sleep for -1 or 0 would
    // wait for an event that never comes.
    EXPECT_LT(NowMs() - start, 1000.0) << "no sleep for -1 and 0";
    start = NowMs();
    RuntimeDoEvents(nullptr, 150);
    EXPECT_GE(NowMs() - start, 130.0);
}

TEST(MainLoop, ClocksAdvanceAsSpecifiedAndEventTimeIsZeroOutsideEvents) {
    // The clocks are read between two readings of the monotonic clock on
    // each side of the sleep, so their advance must lie between the shortest
    // and the longest time that can have passed, however late a loaded
    // machine wakes the test. Ticks count the system's clock ticks (100 a
    // second) in sixtieths, and milliseconds are whole ticks: each reading
    // may lag by a tick.
    double before = NowMs();
    int32_t ticks = RuntimeTicks();
    double micro = RuntimeMicroseconds();
    uint32_t ms = runclock::Milliseconds();
    double started = NowMs();
    g_usleep(500000);
    double stopped = NowMs();
    int32_t tickAdvance = RuntimeTicks() - ticks;
    double microAdvance = RuntimeMicroseconds() - micro;
    double msAdvance = double(runclock::Milliseconds() - ms);
    double after = NowMs();
    double shortest = stopped - started, longest = after - before;
    ASSERT_GE(shortest, 500.0);
    EXPECT_GE(tickAdvance, int32_t(shortest * 60 / 1000) - 2);
    EXPECT_LE(tickAdvance, int32_t(longest * 60 / 1000) + 2);
    EXPECT_GE(microAdvance, (shortest - 1) * 1000);
    EXPECT_LE(microAdvance, (longest + 1) * 1000);
    EXPECT_GE(msAdvance, shortest - 2 * 1000.0 / 60);
    EXPECT_LE(msAdvance, longest + 2 * 1000.0 / 60);
    EXPECT_EQ(AppGetCurrentEventTime(nullptr), 0);
    EXPECT_EQ(runclock::TicksToTimeoutMilliseconds(60), 1000);
    EXPECT_EQ(runclock::TicksToTimeoutMilliseconds(1), 16);
}

TEST(MainLoop, WindowListKeepsFrontToBackOrder) {
    int a, b, c, stranger;
    auto w = [](int &x) { return reinterpret_cast<NativeWindow *>(&x); };
    auto order = [&] {
        std::string text;
        for (uint32_t i = 0; i < windowlist::Count(); ++i)
            text += windowlist::At(i) == w(a) ? "a" : windowlist::At(i) == w(b) ? "b" : "c";
        return text;
    };
    windowlist::Add(w(a));
    windowlist::Add(w(b));
    windowlist::Add(w(c)); // new windows come to the front
    EXPECT_EQ(order(), "cba");
    windowlist::BringToFront(w(a));
    EXPECT_EQ(order(), "acb");
    windowlist::MoveForward(w(a));  // already in front
    windowlist::MoveBackward(w(b)); // already last
    windowlist::MoveBackward(w(a));
    EXPECT_EQ(order(), "cab");
    windowlist::MoveForward(w(b));
    EXPECT_EQ(order(), "cba");
    windowlist::SendToBack(w(c));
    EXPECT_EQ(order(), "bac");
    for (auto op : {windowlist::BringToFront, windowlist::MoveForward, windowlist::MoveBackward,
                    windowlist::SendToBack, windowlist::Remove})
        op(w(stranger));
    EXPECT_EQ(order(), "bac");
    EXPECT_EQ(windowlist::At(3), nullptr);
    windowlist::Remove(w(a));
    windowlist::Remove(w(b));
    windowlist::Remove(w(c));
    EXPECT_EQ(windowlist::Count(), 0u);
}
