// The little-arrows behaviour over simulated ticks: which part a press hits,
// the repeat schedule while an arrow is held, what leaving the pressed
// arrow does, and hovering.
#include "ArrowsBehaviour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kLeft = 100, kTop = 40;

struct Stepper {
    ArrowsState state{};
    std::vector<std::string> raised;

    bool Press(int dx, int dy, uint32_t now, bool enabled = true) {
        ArrowsEffects e;
        bool taken = ArrowsPress(&state, enabled, kLeft + dx, kTop + dy, kLeft, kTop, now, &e);
        Note(e);
        return taken;
    }
    ArrowsEffects Drag(uint32_t *clock, int dx, int dy, uint32_t now) {
        ArrowsEffects e;
        ArrowsDrag(&state, clock, kLeft + dx, kTop + dy, kLeft, kTop, now, &e);
        Note(e);
        return e;
    }
    void Note(const ArrowsEffects &e) {
        if (e.raise == kArrowUpper) raised.push_back("Up");
        if (e.raise == kArrowLower) raised.push_back("Down");
    }
};

TEST(ArrowsBehaviour, PressHitsTheArrowOfItsRowWithinThirteenColumns) {
    Stepper s;
    EXPECT_TRUE(s.Press(0, 0, 1));
    EXPECT_TRUE(s.Press(12, 11, 1));
    EXPECT_TRUE(s.Press(5, 12, 1));
    EXPECT_TRUE(s.Press(5, 22, 1));
    EXPECT_EQ(s.raised, (std::vector<std::string>{"Up", "Up", "Down", "Down"}));
    EXPECT_EQ(s.state.pressedPart, kArrowLower);
    EXPECT_EQ(s.state.drawnPart, kArrowLower);

    Stepper outside;
    EXPECT_FALSE(outside.Press(13, 3, 1));
    EXPECT_FALSE(outside.Press(3, 23, 1));
    EXPECT_FALSE(outside.Press(3, 3, 1, false));
    EXPECT_TRUE(outside.raised.empty());
    EXPECT_EQ(outside.state.pressedPart, kArrowNone);
}

TEST(ArrowsBehaviour, HoldingRepeatsAfterAQuarterSecondEverySecondTick) {
    Stepper s;
    uint32_t clock = 0;
    const uint32_t start = 5000;
    s.Press(4, 4, start);
    std::vector<uint32_t> repeats;
    // The main loop reports the held pointer several times per tick.
    for (uint32_t now = start; now <= start + 60; ++now)
        for (int i = 0; i < 3; ++i)
            if (s.Drag(&clock, 4, 4, now).raise == kArrowUpper) repeats.push_back(now);
    ASSERT_FALSE(repeats.empty());
    EXPECT_EQ(repeats.front(), start + 16);
    for (size_t i = 1; i < repeats.size(); ++i)
        EXPECT_EQ(repeats[i] - repeats[i - 1], 2u) << i;
    EXPECT_EQ(repeats.size(), 23u); // ticks 16, 18, ..., 60 after the press
    EXPECT_EQ(s.raised.size(), 24u);
    EXPECT_EQ(clock, start + 60);
}

TEST(ArrowsBehaviour, LeavingThePressedArrowStopsRepeatsUntilItReturns) {
    Stepper s;
    uint32_t clock = 0;
    s.Press(4, 4, 100);
    ArrowsEffects e = s.Drag(&clock, 4, 15, 130); // onto the lower arrow
    EXPECT_EQ(e.raise, kArrowNone);
    EXPECT_TRUE(e.redraw);
    EXPECT_EQ(s.state.drawnPart, kArrowNone);
    for (uint32_t now = 131; now < 150; ++now)
        s.Drag(&clock, 4, 15, now);
    s.Drag(&clock, 20, 4, 150); // right of the hit area
    EXPECT_EQ(s.raised, (std::vector<std::string>{"Up"}));

    e = s.Drag(&clock, 4, 4, 151); // back on the upper arrow
    EXPECT_EQ(e.raise, kArrowUpper);
    EXPECT_TRUE(e.redraw);
    EXPECT_EQ(s.state.drawnPart, kArrowUpper);

    ArrowsRelease(&s.state, &e);
    EXPECT_EQ(s.state.pressedPart, kArrowNone);
    EXPECT_EQ(s.Drag(&clock, 4, 4, 200).raise, kArrowNone);
}

TEST(ArrowsBehaviour, TheRepeatClockIsSharedBetweenControls) {
    Stepper a, b;
    uint32_t clock = 0;
    a.Press(4, 4, 100);
    b.Press(4, 18, 100);
    EXPECT_EQ(a.Drag(&clock, 4, 4, 120).raise, kArrowUpper);
    EXPECT_EQ(b.Drag(&clock, 4, 18, 121).raise, kArrowNone);
    EXPECT_EQ(b.Drag(&clock, 4, 18, 122).raise, kArrowLower);
}

TEST(ArrowsBehaviour, HoverMarksThePartUnderThePointer) {
    ArrowsState s{};
    ArrowsEffects e;
    ArrowsHover(&s, kLeft + 3, kTop + 3, kLeft, kTop, &e);
    EXPECT_EQ(s.hoverPart, kArrowUpper);
    EXPECT_TRUE(e.redraw);
    ArrowsHover(&s, kLeft + 4, kTop + 5, kLeft, kTop, &e);
    EXPECT_FALSE(e.redraw);
    ArrowsHover(&s, kLeft + 3, kTop + 20, kLeft, kTop, &e);
    EXPECT_EQ(s.hoverPart, kArrowLower);
    ArrowsHover(&s, kLeft + 13, kTop + 20, kLeft, kTop, &e);
    EXPECT_EQ(s.hoverPart, kArrowNone);
    ArrowsHover(&s, kLeft + 3, kTop + 20, kLeft, kTop, &e);
    ArrowsExit(&s, &e);
    EXPECT_EQ(s.hoverPart, kArrowNone);
    EXPECT_TRUE(e.redraw);
}

} // namespace
