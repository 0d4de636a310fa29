// The AppearancePak plug-in as an application carries it: its library in a
// `KQPl` resource, installed and loaded by the runtime, registering
// LittleArrows; real clicks (XTEST) on the arrows raise Up and Down.
#include "ControlAccessors.h"
#include "CustomControl.h"
#include "GuiTest.h"
#include "ImageFormat.h"
#include "ResourceManagerCommon.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"
#include "plugin.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using kqtest::EventLog;
using Lines = std::vector<std::string>;

namespace {

void OnUp(RuntimeObject *) {
    kqtest::Log("Up");
}
void OnDown(RuntimeObject *) {
    kqtest::Log("Down");
}

// Installs the plug-in from a resource once per process, as start-up does.
RuntimeClass *ArrowsClass() {
    static RuntimeClass *cls = [] {
        std::ifstream file(KQ_APPEARANCEPAK_LIBRARY, std::ios::binary);
        std::string library((std::istreambuf_iterator<char>(file)), {});
        static std::string payload = std::string(1, char(21)) + "libKQAppearancePak.so" + library;
        TheResourceManager().Add(kqimage::kResourcePlugin, 65535,
                                 reinterpret_cast<const uint8_t *>(payload.data()),
                                 uint32_t(payload.size()), 0);
        InstallPlugins();
        kstr::StringRef name(kstr::FromC("LittleArrows"));
        return RuntimeLookupClass(name.Get());
    }();
    return cls;
}

class LittleArrows : public kqtest::WindowTest {
  protected:
    void TearDown() override {
        if (mWindow != nullptr) {
            RuntimeCloseWindow(mWindow);
            RuntimeUnlockObject(mWindow);
        }
    }

    // A window with one LittleArrows at (20, 30), 30 by 23 pixels.
    void Open() {
        ASSERT_NE(ArrowsClass(), nullptr);
        static RuntimeClass *cls = kqtest::ImageWindowClass("Hauptfenster", {});
        mWindow = kqtest::NewWindow(cls, [this](RuntimeObject *window) {
            mArrows = RuntimeNewObject(ArrowsClass());
            kstr::StringRef name(kstr::FromC("Pfeile"));
            stringSetter(mArrows, offsetof(ControlObject, mName), name.Get());
            RuntimeControlMove(mArrows, 20, 30, 30, 23);
            kqtest::Handle(mArrows, "Up", KQ_CODE(OnUp));
            kqtest::Handle(mArrows, "Down", KQ_CODE(OnDown));
            kqtest::AddControl(window, mArrows);
        });
        RuntimeShowWindow(mWindow);
        ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(mWindow)));
        kqtest::Settle();
        EventLog().clear();
    }

    void Click(int dx, int dy) {
        int x, y;
        kqtest::RootPosition(kqtest::WidgetOf(mArrows), &x, &y, dx, dy);
        kqtest::ClickAt(x, y);
        kqtest::Settle();
    }

    uint32_t At(int x, int y) { return kqtest::PixelAt(kqtest::WidgetOf(mArrows), x, y); }

    RuntimeObject *mWindow = nullptr;
    RuntimeObject *mArrows = nullptr;
};

TEST_F(LittleArrows, ThePluginRegistersTheClassWithItsEvents) {
    RuntimeClass *cls = ArrowsClass();
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(customcontrols::Count(), 2u);
    EXPECT_TRUE(objects::ClassInheritsFrom(cls, definitions::Convert(&RectControlDefinition)));
    ASSERT_GE(cls->eventCount, 15u);
    EXPECT_STREQ(kstr::Text(cls->events[13].name), "Up");
    EXPECT_STREQ(kstr::Text(cls->events[14].name), "Down");
    kstr::StringRef sibling(kstr::FromC("UpDownArrows"));
    EXPECT_NE(RuntimeLookupClass(sibling.Get()), nullptr);
}

TEST_F(LittleArrows, ClicksOnTheArrowsRaiseUpAndDownOnce) {
    Open();
    Click(6, 0);
    Click(6, 11);
    Click(6, 12);
    Click(6, 22);
    EXPECT_EQ(EventLog(), (Lines{"Up", "Up", "Down", "Down"}));

    EventLog().clear();
    Click(13, 5); // right of the 13-pixel hit area, still on the control
    Click(25, 15);
    EXPECT_TRUE(EventLog().empty());

    controlEnabledSetter(mArrows, 0, false);
    kqtest::Settle();
    Click(6, 3);
    EXPECT_TRUE(EventLog().empty());
}

TEST_F(LittleArrows, TheArrowsAreDrawnThroughTheRuntimesGraphics) {
    Open();
    // The tips of the two arrows and the face around them.
    EXPECT_EQ(At(6, 4), 0x202020u);
    EXPECT_EQ(At(6, 18), 0x202020u);
    EXPECT_EQ(At(0, 0), 0x7A7A7Au);
    EXPECT_NE(At(2, 6), 0x202020u);
}

} // namespace
