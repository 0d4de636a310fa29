// Contextual menus on the private display: a real right-click (XTEST) asks
// the control under the pointer, then the window, to build its menu from
// MenuItem objects; the menu pops up, a click on one of its items raises
// ContextualMenuAction with that item (and the item's Action when that is
// not handled), and a menu closed without a choice raises nothing.
#include "ContextualMenu.h"
#include "GuiTest.h"
#include "MenuItem.h"
#include "RuntimeViewWindow.h"
#include "WindowTestSupport.h"
#include "XMenuGTK.h"

#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>
#include <gdk/gdkkeysyms.h>
#include <gdk/gdkx.h>

#include <map>

using kqtest::EventLog;
using Lines = std::vector<std::string>;

namespace {

// The items of the menu being shown; they die with their menu, so the list
// is emptied before and after each click.
std::vector<RuntimeObject *> gItems;

std::string Who(RuntimeObject *target) {
    if (windows::IsWindow(target)) return kstr::Text(target->classPtr->name);
    return kstr::Text(reinterpret_cast<ControlObject *>(target)->mName);
}

std::string NameOf(RuntimeObject *item) {
    return kstr::Text(menus::AsItem(item)->mName);
}

bool ItemAction(RuntimeObject *item) {
    kqtest::Log(NameOf(item) + ".Action");
    return false;
}

bool Construct(RuntimeObject *target, RuntimeObject *base, int32_t x, int32_t y) {
    std::string event = Who(target) + ".ConstructContextualMenu";
    kqtest::Log(event + " " + std::to_string(x) + "," + std::to_string(y) +
                (IsCMMClick() ? " contextual" : ""));
    gItems.clear();
    for (const char *text : {"Ausschneiden", "Kopieren"}) {
        RuntimeObject *item = definitions::Instantiate(&MenuItemDefinition);
        kstr::StringRef t(kstr::FromC(text));
        RuntimeMenuItemNameSetter(item, 0, t.Get());
        RuntimeMenuItemTextSetter(item, 0, t.Get());
        kqtest::Handle(item, "Action", KQ_CODE(ItemAction));
        RuntimeMenuItemAppend(base, item);
        RuntimeUnlockObject(item);
        gItems.push_back(item);
    }
    return kqtest::Answered(event);
}

bool Action(RuntimeObject *target, RuntimeObject *hit) {
    std::string event = Who(target) + ".ContextualMenuAction";
    kqtest::Log(event + " " + NameOf(hit));
    return kqtest::Answered(event);
}

void HandleContextualMenus(RuntimeObject *object) {
    kqtest::Handle(object, "ConstructContextualMenu", KQ_CODE(Construct));
    kqtest::Handle(object, "ContextualMenuAction", KQ_CODE(Action));
}

// Chooses the item at `index` of the menu once it has been open for a
// while (GTK+ takes no click in its first half second), or closes the
// menu with Escape for an index of -1 (or when no menu came).
struct Choice {
    int index;
    gint64 start = g_get_monotonic_time();
    gint64 shownAt = 0;
    bool done = false;
};

gboolean ChooseWhenShown(gpointer data) {
    auto *choice = static_cast<Choice *>(data);
    gint64 now = g_get_monotonic_time();
    GtkWidget *item =
        gItems.empty()
            ? nullptr
            : static_cast<XMenuGTK *>(menus::RecordOf(gItems[size_t(std::max(choice->index, 0))]))
                  ->ItemWidget();
    bool shown = item != nullptr && gtk_widget_get_mapped(item);
    if (shown && choice->shownAt == 0) choice->shownAt = now;
    if (!shown && now - choice->start < 10000000) return TRUE;
    if (shown && now - choice->shownAt < 700000) return TRUE;
    Display *display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    if (!shown || choice->index < 0) {
        KeyCode escape = XKeysymToKeycode(display, GDK_KEY_Escape);
        XTestFakeKeyEvent(display, escape, True, CurrentTime);
        XTestFakeKeyEvent(display, escape, False, CurrentTime);
    } else {
        int x, y;
        kqtest::RootPosition(item, &x, &y);
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
    }
    XFlush(display);
    choice->done = true;
    return FALSE;
}

class ContextualMenus : public kqtest::WindowTest {
  protected:
    void SetUp() override {
        kqtest::WindowTest::SetUp();
        static RuntimeClass *cls = kqtest::ImageWindowClass("Kontext", {});
        mWindow = kqtest::ShownWindow(cls, [this](RuntimeObject *w) {
            HandleContextualMenus(w);
            mField = kqtest::AddControl(
                w, kqtest::NewControl("Feld", kqtest::TestPaneKind::Entry, 10, 10, 120, 24));
            HandleContextualMenus(mField);
            mLabel = kqtest::AddControl(
                w, kqtest::NewControl("Marke", kqtest::TestPaneKind::Label, 10, 50, 100, 20));
        });
    }

    void TearDown() override { kqtest::CloseWindow(mWindow); }

    // A right-click at (x, y) of the widget, answered by choosing the item
    // at `index` (-1: none) once the menu is open.
    // The watch may run before the click arrives: it must not find the
    // items of an earlier, destroyed menu then.
    void RightClick(GtkWidget *widget, int x, int y, int index) {
        gItems.clear();
        Choice choice{index};
        guint watch = g_timeout_add(50, ChooseWhenShown, &choice);
        int rootX, rootY;
        kqtest::RootPosition(widget, &rootX, &rootY, x, y);
        kqtest::ClickAt(rootX, rootY, 3);
        if (!choice.done) g_source_remove(watch);
        kqtest::Settle();
        gItems.clear();
    }

    GtkWidget *Content() { return windows::NativeOf(mWindow)->Content(); }

    RuntimeObject *mWindow = nullptr;
    RuntimeObject *mField = nullptr;
    RuntimeObject *mLabel = nullptr;
};

TEST_F(ContextualMenus, RightClickOnTheWindowShowsItsMenuAndReportsTheChoice) {
    kqtest::Answer("Kontext.ConstructContextualMenu", true);
    RightClick(Content(), 200, 150, 1);
    EXPECT_EQ(EventLog(), (Lines{"Kontext.ConstructContextualMenu 200,150 contextual",
                                 "Kontext.ContextualMenuAction Kopieren", "Kopieren.Action"}))
        << "not handled by ContextualMenuAction: the item's Action";

    EventLog().clear();
    kqtest::Answer("Kontext.ContextualMenuAction", true);
    RightClick(Content(), 20, 120, 0);
    EXPECT_EQ(EventLog(), (Lines{"Kontext.ConstructContextualMenu 20,120 contextual",
                                 "Kontext.ContextualMenuAction Ausschneiden"}));

    EventLog().clear();
    RightClick(Content(), 200, 150, -1);
    EXPECT_EQ(EventLog(), Lines{"Kontext.ConstructContextualMenu 200,150 contextual"})
        << "closed without a choice";
}

TEST_F(ContextualMenus, TheControlUnderThePointerIsAskedBeforeTheWindow) {
    kqtest::Answer("Feld.ConstructContextualMenu", true);
    kqtest::Answer("Feld.ContextualMenuAction", true);
    kqtest::Answer("Kontext.ConstructContextualMenu", true);
    kqtest::Answer("Kontext.ContextualMenuAction", true);
    RightClick(kqtest::WidgetOf(mField), 7, 5, 0);
    EXPECT_EQ(EventLog(), (Lines{"Feld.ConstructContextualMenu 7,5 contextual",
                                 "Feld.ContextualMenuAction Ausschneiden"}));

    // A control that shows no menu leaves the click to the window.
    EventLog().clear();
    kqtest::Answer("Feld.ConstructContextualMenu", false);
    RightClick(kqtest::WidgetOf(mField), 7, 5, 1);
    EXPECT_EQ(EventLog(), (Lines{"Feld.ConstructContextualMenu 7,5 contextual",
                                 "Kontext.ConstructContextualMenu 17,15 contextual",
                                 "Kontext.ContextualMenuAction Kopieren"}));

    // A control without the events (a label without a window of its own).
    EventLog().clear();
    RightClick(Content(), 15, 55, 1);
    EXPECT_EQ(EventLog(), (Lines{"Kontext.ConstructContextualMenu 15,55 contextual",
                                 "Kontext.ContextualMenuAction Kopieren"}));
    EXPECT_FALSE(IsCMMClick()) << "outside a contextual click";
}

} // namespace
