// Timers: nothing before a mode is set, one firing in single mode, repeated
// firings in multiple mode until the handler stops them, the period rules,
// a disabled timer keeping its source silently, receivers told before Action.
#include "AppTestSupport.h"

#include "Timer.h"

#include <gtest/gtest.h>

using apptest::Handle;
using apptest::IterateUntil;
using apptest::Log;
using apptest::New;
using apptest::NowMs;

namespace {

int gFirings = 0;
int gStopAfter = 0;
int gModeSeenInHandler = -1;

TimerObject *T(const Ref<> &timer) {
    return reinterpret_cast<TimerObject *>(timer.get());
}

extern "C" void CountFiring(RuntimeObject *timer) {
    ++gFirings;
    gModeSeenInHandler = reinterpret_cast<TimerObject *>(timer)->mode;
    Log().push_back("Action");
}

extern "C" void DisableOnThird(RuntimeObject *timer) {
    if (++gFirings == gStopAfter) TimerEnabledSetter(timer, 0, false);
}

extern "C" void ModeOffOnSecond(RuntimeObject *timer) {
    if (++gFirings == 2) timerModeSetter(timer, 0, 0);
}

extern "C" void PerformAction(RuntimeObject *) {
    Log().push_back("PerformAction");
}

Ref<> NewTimer(void (*action)(RuntimeObject *), int32_t period) {
    Ref<> timer = New(&TimerDefinition);
    Handle(timer.get(), "Action", reinterpret_cast<void *>(action));
    timerPeriodSetter(timer.get(), 0, period);
    return timer;
}

// Lets the loop run for `ms` milliseconds.
void RunFor(int ms) {
    double end = NowMs() + ms;
    IterateUntil([&] { return NowMs() >= end; }, ms + 1000);
}

} // namespace

TEST(Timers, NewTimerWaitsForItsModeAndSingleModeFiresOnce) {
    Ref<> timer = NewTimer(CountFiring, 20);
    EXPECT_EQ(T(timer)->period, 20);
    EXPECT_EQ(T(timer)->source, 0u) << "no timeout before the mode is set";
    RunFor(100);
    EXPECT_EQ(gFirings, 0);
    timerModeSetter(timer.get(), 0, 1);
    EXPECT_NE(T(timer)->source, 0u);
    EXPECT_TRUE(IterateUntil([] { return gFirings == 1; }));
    EXPECT_EQ(gModeSeenInHandler, 0) << "Mode reads 0 once the single firing started";
    RunFor(150);
    EXPECT_EQ(gFirings, 1);
    EXPECT_EQ(T(timer)->source, 0u);
    timerModeSetter(timer.get(), 0, 1); // armed anew
    EXPECT_TRUE(IterateUntil([] { return gFirings == 2; }));
}

TEST(Timers, MultipleModeRepeatsUntilItsHandlerStopsIt) {
    gStopAfter = 3;
    Ref<> timer = NewTimer(DisableOnThird, 10);
    timerModeSetter(timer.get(), 0, 2);
    EXPECT_TRUE(IterateUntil([] { return gFirings == 3; }));
    RunFor(150);
    EXPECT_EQ(gFirings, 3) << "disabled inside Action";
    EXPECT_EQ(T(timer)->source, 0u);

    gFirings = 0;
    Ref<> second = NewTimer(ModeOffOnSecond, 10);
    timerModeSetter(second.get(), 0, 2);
    EXPECT_TRUE(IterateUntil([] { return gFirings == 2; }));
    RunFor(150);
    EXPECT_EQ(gFirings, 2) << "mode set to 0 inside Action";
}

TEST(Timers, PeriodIsAtLeastOneAndRestartsTheCountdown) {
    Ref<> timer = NewTimer(CountFiring, 0);
    EXPECT_EQ(T(timer)->period, 1);
    timerPeriodSetter(timer.get(), 0, -40);
    EXPECT_EQ(T(timer)->period, 1);
    Ref<> fresh = New(&TimerDefinition);
    EXPECT_EQ(T(fresh)->period, 1000);
    EXPECT_TRUE(T(fresh)->enabled);

    timerPeriodSetter(timer.get(), 0, 400);
    timerModeSetter(timer.get(), 0, 2);
    RunFor(250);
    timerPeriodSetter(timer.get(), 0, 400); // the countdown starts again
    double restarted = NowMs();
    EXPECT_TRUE(IterateUntil([] { return gFirings == 1; }));
    EXPECT_GE(NowMs() - restarted, 350.0);
    timerModeSetter(timer.get(), 0, 0);
}

TEST(Timers, DisabledTimerKeepsItsSourceAndRaisesNothing) {
    Ref<> timer = NewTimer(CountFiring, 10);
    TimerEnabledSetter(timer.get(), 0, false);
    timerModeSetter(timer.get(), 0, 2); // the mode setter does not look at Enabled
    uint32_t source = T(timer)->source;
    EXPECT_NE(source, 0u);
    RunFor(150);
    EXPECT_EQ(gFirings, 0);
    EXPECT_EQ(T(timer)->source, source) << "the source stays";
    TimerEnabledSetter(timer.get(), 0, true);
    EXPECT_TRUE(IterateUntil([] { return gFirings >= 2; }));
    timer = Ref<>(); // destroying the timer removes its source
    int fired = gFirings;
    RunFor(100);
    EXPECT_EQ(gFirings, fired);
}

TEST(Timers, ReceiversAreToldBeforeAction) {
    // A class of the image implementing actionNotificationReceiver.
    RuntimeClass *receiverInterface = definitions::Convert(&actionNotificationReceiverDefinition);
    RuntimeClass *cls = RuntimeNewClass(nullptr, 0, 1, 0, 0, 0);
    cls->instanceSize = sizeof(RuntimeObject);
    RuntimeMethodEntry *methods = RuntimeNewVtable(1);
    methods[0] = {reinterpret_cast<void *>(PerformAction), nullptr};
    cls->interfaces()[0] = {receiverInterface, 1, methods};
    Ref<> receiver = Ref<>::Adopt(RuntimeNewObject(cls));

    Ref<> timer = NewTimer(CountFiring, 10);
    TimerAddActionNotificationReceiver(timer.get(), receiver.get());
    TimerAddActionNotificationReceiver(timer.get(), receiver.get());
    timerModeSetter(timer.get(), 0, 1);
    EXPECT_TRUE(IterateUntil([] { return gFirings == 1; }));
    EXPECT_EQ(apptest::Joined(Log()), "PerformAction PerformAction Action");
    TimerRemoveActionNotificationReceiver(timer.get(), receiver.get());
    Log().clear();
    timerModeSetter(timer.get(), 0, 1);
    EXPECT_TRUE(IterateUntil([] { return gFirings == 2; }));
    EXPECT_EQ(apptest::Joined(Log()), "PerformAction Action");
}
