// Container controls: a window-like class whose controls stand inside
// another window at the container's place, open and close with it, hide
// with it, receive the focus and the menu handlers of the container, and
// are released when the container or its window closes.
#include "ContainerControl.h"
#include "ControlAccessors.h"
#include "GuiTest.h"
#include "MenuDispatch.h"
#include "MenuItem.h"
#include "RuntimeObject.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

using kqtest::EventLog;
using kqtest::TestPaneKind;
using Lines = std::vector<std::string>;

namespace {

using ContainerControls = kqtest::WindowTest;

RuntimeClass *HostClass() {
    static RuntimeClass *cls = kqtest::ImageWindowClass(
        "Haupt", {WindowEvent::Open, WindowEvent::Close, WindowEvent::CancelClose});
    return cls;
}

RuntimeClass *PartClass() {
    static RuntimeClass *cls = kqtest::ImageWindowClass(
        "Teil", {WindowEvent::Open, WindowEvent::Close, WindowEvent::CancelClose},
        &ContainerControlDefinition);
    return cls;
}

// A container at (30, 40), 200 x 100, with an entry "Eins" at (5, 6) and
// a button "Zwei" at (100, 6) of its own.
RuntimeObject *NewPart() {
    RuntimeObject *part = RuntimeNewObject(PartClass());
    kqtest::AddControl(
        part, kqtest::NewControl("Eins", TestPaneKind::Entry, 5, 6, 80, 24, {"Open", "Close"}));
    kqtest::AddControl(
        part, kqtest::NewControl("Zwei", TestPaneKind::Button, 100, 6, 60, 24, {"Open", "Close"}));
    WindowMove(part, 30, 40, 200, 100);
    return part;
}

// The window "Haupt" with a button "Knopf" at (10, 10) and the container
// "Teil" after it; `part` receives the container (no reference).
RuntimeObject *NewHost(RuntimeObject **part = nullptr) {
    return kqtest::NewWindow(HostClass(), [&](RuntimeObject *window) {
        kqtest::AddControl(window, kqtest::NewControl("Knopf", TestPaneKind::Button, 10, 10, 60, 24,
                                                      {"Open", "Close"}));
        RuntimeObject *p = NewPart();
        kstr::StringRef name(kstr::FromC("Teil"));
        WindowAddControl(window, name.Get(), p);
        RuntimeUnlockObject(p);
        if (part != nullptr) *part = p;
    });
}

RuntimeObject *Member(RuntimeObject *window, const char *name) {
    kstr::StringRef key(kstr::FromC(name));
    RuntimeObject *control = RuntimeControlReference(window, key.Get());
    RuntimeUnlockObject(control); // the window keeps its own reference
    return control;
}

GtkAllocation Allocation(RuntimeObject *control) {
    GtkAllocation a{};
    gtk_widget_get_allocation(kqtest::WidgetOf(control), &a);
    return a;
}

// The place of a control's widget relative to the window's button "Knopf"
// at (10, 10), once GTK+ has laid the window out.
std::pair<int, int> PlaceOf(RuntimeObject *window, RuntimeObject *control) {
    kqtest::Settle([] { return !gtk_events_pending(); });
    GtkAllocation knopf = Allocation(Member(window, "Knopf")), own = Allocation(control);
    return {own.x - knopf.x + 10, own.y - knopf.y + 10};
}

TEST_F(ContainerControls, OpenInTheirWindowAtTheirPlaceAndMoveWithIt) {
    RuntimeObject *part = nullptr;
    RuntimeObject *window = NewHost(&part);
    EXPECT_EQ(EventLog(),
              (Lines{"Knopf.Open", "Eins.Open", "Zwei.Open", "Teil.Open", "Haupt.Open"}));
    RuntimeShowWindow(window);
    RuntimeObject *eins = Member(part, "Eins");
    ASSERT_NE(kqtest::WidgetOf(eins), nullptr);
    EXPECT_EQ(PlaceOf(window, eins), std::make_pair(35, 46));
    EXPECT_EQ(ctlPosGetter(eins, 0), 5) << "a member keeps the container's coordinates";
    EXPECT_EQ(windowControlCountGetter(window, 0), 1) << "the container is no control";
    EXPECT_EQ(windowControlCountGetter(part, 0), 2);

    windowPosSetter(part, 0, 50);
    windowPosSetter(part, 1, 60);
    EXPECT_EQ(PlaceOf(window, eins), std::make_pair(55, 66));
    EXPECT_EQ(ctlPosGetter(eins, 0), 5);
    ctlPosSetter(eins, 1, 10);
    EXPECT_EQ(PlaceOf(window, eins), std::make_pair(55, 70));

    // Hiding the container hides its controls; showing it brings back
    // those that were visible.
    RuntimeObject *zwei = Member(part, "Zwei");
    ControlVisibleSetter(zwei, 0, false);
    RuntimeHideWindow(part);
    EXPECT_FALSE(gtk_widget_get_visible(kqtest::WidgetOf(eins)));
    RuntimeShowWindow(part);
    EXPECT_TRUE(gtk_widget_get_visible(kqtest::WidgetOf(eins)));
    EXPECT_FALSE(gtk_widget_get_visible(kqtest::WidgetOf(zwei)));
    kqtest::CloseWindow(window);
}

TEST_F(ContainerControls, FollowTheirWindowWithTheirLockedControls) {
    RuntimeObject *part = nullptr;
    RuntimeObject *window = NewHost(&part);
    ContainerObject *container = containers::AsContainer(part);
    container->locks[0] = container->locks[2] = 1; // left and right: stretches
    RuntimeObject *eins = Member(part, "Eins");
    controlLockLeftSetter(eins, 0, false);
    controlLockRightSetter(eins, 0, true); // moves with the container's right edge
    RuntimeShowWindow(window);
    ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));
    WindowMove(window, 50, 50, windowPosGetter(window, 2) + 60, windowPosGetter(window, 3));
    ASSERT_TRUE(kqtest::WaitUntil([&] { return windowPosGetter(part, 2) == 260; }));
    EXPECT_EQ(windowPosGetter(part, 0), 30);
    EXPECT_EQ(ctlPosGetter(eins, 0), 65) << "stored in the container's coordinates";
    EXPECT_EQ(PlaceOf(window, eins), std::make_pair(95, 46));
    kqtest::CloseWindow(window);
}

TEST_F(ContainerControls, CloseWithTheirWindowAndCanCancelIt) {
    uint32_t live = objects::LiveObjectCount();
    RuntimeObject *window = NewHost();
    EventLog().clear();
    kqtest::Answer("Teil.CancelClose", true);
    RuntimeCloseWindow(window);
    EXPECT_EQ(EventLog(), (Lines{"Teil.CancelClose"})) << "the last view is asked first";
    EXPECT_NE(windows::NativeOf(window), nullptr);

    EventLog().clear();
    kqtest::Answer("Teil.CancelClose", false);
    kqtest::CloseWindow(window);
    EXPECT_EQ(EventLog(), (Lines{"Teil.CancelClose", "Haupt.CancelClose", "Zwei.Close",
                                 "Eins.Close", "Teil.Close", "Knopf.Close", "Haupt.Close"}));
    kqtest::Settle();
    EXPECT_EQ(objects::LiveObjectCount(), live);
}

TEST_F(ContainerControls, CloseOnTheirOwnAndLeaveTheWindow) {
    uint32_t live = objects::LiveObjectCount();
    RuntimeObject *part = nullptr;
    RuntimeObject *window = NewHost(&part);
    RuntimeShowWindow(window);
    GtkWidget *eins = kqtest::WidgetOf(Member(part, "Eins"));
    g_object_ref(eins);
    EventLog().clear();
    RuntimeCloseWindow(part);
    EXPECT_EQ(EventLog(), (Lines{"Teil.CancelClose", "Zwei.Close", "Eins.Close", "Teil.Close"}));
    EXPECT_EQ(Member(window, "Teil"), nullptr);
    kqtest::Settle([eins] { return gtk_widget_get_parent(eins) == nullptr; });
    EXPECT_EQ(gtk_widget_get_parent(eins), nullptr) << "the container's controls are gone";
    g_object_unref(eins);
    EXPECT_NE(windows::NativeOf(window), nullptr);
    kqtest::CloseWindow(window);
    kqtest::Settle();
    EXPECT_EQ(objects::LiveObjectCount(), live);
}

bool gPartHandled = false;
bool PartMenuHandler(RuntimeObject *target, int32_t) {
    gPartHandled = windows::AsWindow(target) != nullptr &&
                   kstr::Text(target->classPtr->name) == std::string("Teil");
    return true;
}

TEST_F(ContainerControls, TheFocusInsideLeadsMenusToTheContainer) {
    RuntimeObject *part = nullptr;
    RuntimeObject *window = kqtest::ShownWindow(HostClass(), [&](RuntimeObject *w) {
        RuntimeObject *p = NewPart();
        kstr::StringRef name(kstr::FromC("Teil"));
        WindowAddControl(w, name.Get(), p);
        RuntimeUnlockObject(p);
        part = p;
    });
    kstr::StringRef item(kstr::FromC("Kopieren"));
    WindowAddMenuHandler(part, item.Get(), KQ_CODE(PartMenuHandler));
    RuntimeObject *eins = Member(part, "Eins");
    RuntimeSetFocus(eins);
    kqtest::Settle([&] { return reinterpret_cast<WindowObject *>(part)->mFocusControl == eins; });
    WindowObject *host = windows::AsWindow(window);
    EXPECT_EQ(reinterpret_cast<WindowObject *>(part)->mFocusControl, eins);
    EXPECT_EQ(containers::TemplateOf(host->mFocusControl), windows::AsWindow(part))
        << "the window's focus is the container's embedding control";

    RuntimeObject *menuItem = definitions::Instantiate(&MenuItemDefinition);
    RuntimeMenuItemNameSetter(menuItem, 0, item.Get());
    EXPECT_TRUE(menus::Dispatch(menuItem, host));
    EXPECT_TRUE(gPartHandled);
    RuntimeUnlockObject(menuItem);
    kqtest::CloseWindow(window);
}

} // namespace
