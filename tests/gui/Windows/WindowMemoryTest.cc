// A window of 45 controls opened, shown and closed a thousand times leaves
// the live objects, the runtime's own memory and the process's heap where
// they were after the first rounds.
#include "HeapInUse.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using WindowMemory = kqtest::WindowTest;

void AddRows(RuntimeObject *window) {
    for (int row = 0; row < 15; ++row) {
        std::string n = std::to_string(row);
        int y = 10 + 30 * row;
        kqtest::AddControl(window,
                           kqtest::NewControl(("Label" + n).c_str(), kqtest::TestPaneKind::Label,
                                              10, y, 100, 24, {"Open", "Close"}));
        kqtest::AddControl(window,
                           kqtest::NewControl(("Field" + n).c_str(), kqtest::TestPaneKind::Entry,
                                              120, y, 150, 24, {"GotFocus", "LostFocus"}));
        kqtest::AddControl(window,
                           kqtest::NewControl(("Button" + n).c_str(), kqtest::TestPaneKind::Button,
                                              280, y, 90, 24, {"Action"}));
    }
}

void Cycle(RuntimeClass *cls) {
    RuntimeObject *window = kqtest::NewWindow(cls, AddRows);
    RuntimeShowWindow(window);
    kqtest::HandlePending();
    kqtest::CloseWindow(window);
    kqtest::HandlePending();
    kqtest::EventLog().clear();
}

} // namespace

TEST_F(WindowMemory, AThousandOpenCloseCyclesLeaveObjectsAndMemoryWhereTheyStarted) {
    RuntimeClass *cls = kqtest::ImageWindowClass(
        "Kreislauf", {WindowEvent::Open, WindowEvent::Close, WindowEvent::CancelClose});
    for (int i = 0; i < 20; ++i)
        Cycle(cls);
    uint32_t liveObjects = objects::LiveObjectCount();
    uint32_t runtimeMemory = RuntimeDebugMemoryUsed();
    size_t heap = KQHeapInUse();

    for (int i = 0; i < 1000; ++i)
        Cycle(cls);
    EXPECT_EQ(objects::LiveObjectCount(), liveObjects);
    EXPECT_EQ(RuntimeDebugMemoryUsed(), runtimeMemory);
    long growth = long(KQHeapInUse()) - long(heap);
    std::printf("heap in use after the first 20 rounds: %zu bytes; after 1000 more: %+ld bytes\n",
                heap, growth);
    // One lost window of 45 controls would be tens of kilobytes; 1000 of
    // them megabytes.
    EXPECT_LT(growth, 64 * 1024);
}
