// Real clicks and keys (XTEST) on windows with controls: mouse-down dispatch
// between controls and the window, drags and releases, presses seen twice,
// Tab traversal, the key pipeline with default and cancel buttons, text
// widgets, KeyDown of controls and windows, key texts and the contextual
// menu key.
#include "ControlAccessors.h"
#include "GuiTest.h"
#include "KeyTranslation.h"
#include "MainLoop.h"
#include "RuntimePaneDelegate.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

#include <cstdlib>

using kqtest::EventLog;
using kqtest::LogLines;
using kqtest::TestPaneKind;
using Lines = std::vector<std::string>;

namespace {

class WindowInput : public kqtest::WindowTest {
  protected:
    // A shown window of the logging class with the given controls.
    RuntimeObject *Shown(const std::function<void(RuntimeObject *)> &add) {
        RuntimeObject *window = kqtest::NewWindow(WindowClass(), add);
        RuntimeShowWindow(window);
        EXPECT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));
        EventLog().clear();
        return window;
    }

    static RuntimeClass *WindowClass() {
        static RuntimeClass *cls =
            kqtest::ImageWindowClass("Fenster", {WindowEvent::MouseDown, WindowEvent::MouseDrag,
                                                 WindowEvent::MouseUp, WindowEvent::KeyDown});
        return cls;
    }
};

void Close(RuntimeObject *window) {
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

// A key press as GDK delivers it to the window.
bool Press(RuntimeObject *window, unsigned keyval, unsigned state = 0) {
    GdkEventKey event{};
    event.type = GDK_KEY_PRESS;
    event.window = gtk_widget_get_window(kqtest::ToplevelOf(window));
    event.keyval = keyval;
    event.state = state;
    return windows::NativeOf(window)->HandleKeyPress(&event);
}

// The GotFocus lines of the log, in order.
Lines FocusLines() {
    Lines lines;
    for (const std::string &line : EventLog())
        if (line.find(".GotFocus") != std::string::npos) lines.push_back(line);
    return lines;
}

std::string EntryText(RuntimeObject *control) {
    return gtk_entry_get_text(GTK_ENTRY(kqtest::WidgetOf(control)));
}

RuntimeObject *gMenuTarget = nullptr;
bool ShowMenu(RuntimeObject *target, int x, int y) {
    gMenuTarget = target;
    kqtest::Log("menu at " + std::to_string(x) + "," + std::to_string(y));
    return true;
}

} // namespace

TEST_F(WindowInput, ControlThatTakesTheMouseDownGetsDragAndUpAndTheWindowNothing) {
    RuntimeObject *label = nullptr, *plain = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        label =
            kqtest::AddControl(w, kqtest::NewControl("Etikett", TestPaneKind::Label, 20, 20, 100,
                                                     30, {"MouseDown", "MouseDrag", "MouseUp"}));
        plain = kqtest::AddControl(
            w, kqtest::NewControl("Schlicht", TestPaneKind::Label, 20, 80, 100, 30));
    });
    kqtest::Answer("Etikett.MouseDown", true);
    int x, y;
    kqtest::RootPosition(kqtest::WidgetOf(label), &x, &y, 10, 5);
    kqtest::MovePointerTo(x, y);
    kqtest::PressWidget(kqtest::WidgetOf(label));
    EXPECT_EQ(EventLog(), Lines{"Etikett.MouseDown 50,15"}) << "relative to the control";
    EXPECT_EQ(panes::TrackingPane(), controls::PaneOf(label));

    kqtest::MovePointerTo(x + 30, y + 12);
    mainloop::NestedIteration(false); // the main loop reports the drag
    EXPECT_EQ(LogLines("Etikett.MouseDrag"), Lines{"Etikett.MouseDrag 40,17"});
    kqtest::ReleaseAt(x + 30, y + 12);
    EXPECT_EQ(LogLines("Etikett.MouseUp"), Lines{"Etikett.MouseUp 40,17"});
    EXPECT_EQ(panes::TrackingPane(), nullptr);
    EXPECT_EQ(LogLines("Fenster."), Lines{});

    EventLog().clear();
    kqtest::ClickWidget(kqtest::WidgetOf(plain));
    EXPECT_EQ(EventLog(), Lines{}) << "a control without MouseDown still takes the press";
    Close(window);
}

TEST_F(WindowInput, PressOutsideTheControlsGoesToTheWindowWhichMayTrackIt) {
    RuntimeObject *window = Shown([](RuntimeObject *w) {
        kqtest::AddControl(w, kqtest::NewControl("Knopf", TestPaneKind::Button, 200, 200, 80, 30));
    });
    GtkWidget *content = windows::NativeOf(window)->Content();
    int x, y;
    kqtest::RootPosition(content, &x, &y, 30, 40);
    kqtest::ClickAt(x, y);
    EXPECT_EQ(EventLog(), Lines{"Fenster.MouseDown 30,40"}) << "False: no drag, no up";

    kqtest::Answer("Fenster.MouseDown", true);
    EventLog().clear();
    kqtest::PressAt(x, y);
    kqtest::ReleaseAt(x + 5, y + 7);
    EXPECT_EQ(EventLog(), (Lines{"Fenster.MouseDown 30,40", "Fenster.MouseDrag 35,47",
                                 "Fenster.MouseUp 35,47"}));
    Close(window);
}

TEST_F(WindowInput, PushButtonDispatchFollowsItsMouseDownAnswer) {
    RuntimeObject *button = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        button =
            kqtest::AddControl(w, kqtest::NewControl("Knopf", TestPaneKind::Button, 20, 20, 100, 40,
                                                     {"MouseDown", "MouseUp", "Action"}));
    });
    kqtest::ClickWidget(kqtest::WidgetOf(button));
    EXPECT_EQ(EventLog(), (Lines{"Knopf.MouseDown 50,20", "Knopf.Action"}))
        << "False: GTK+ handles the press and the button is clicked";

    kqtest::Answer("Knopf.MouseDown", true);
    EventLog().clear();
    kqtest::ClickWidget(kqtest::WidgetOf(button));
    EXPECT_EQ(EventLog(), (Lines{"Knopf.MouseDown 50,20", "Knopf.MouseUp 50,20"}))
        << "True: the button never goes down, no Action, no window MouseDown";
    Close(window);
}

TEST_F(WindowInput, APressReportedTwiceWithTheSameTimeRaisesOneMouseDown) {
    RuntimeObject *button = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        button = kqtest::AddControl(
            w, kqtest::NewControl("Knopf", TestPaneKind::Button, 20, 20, 100, 40, {"MouseDown"}));
    });
    kqtest::Answer("Knopf.MouseDown", true);
    GtkWidget *widget = kqtest::WidgetOf(button);
    GdkEvent *event = gdk_event_new(GDK_BUTTON_PRESS);
    event->button.window =
        GDK_WINDOW(g_object_ref(gtk_button_get_event_window(GTK_BUTTON(widget))));
    event->button.time = 4711;
    event->button.button = 1;
    gtk_main_do_event(event);
    gtk_main_do_event(event);
    event->button.time = 4712;
    gtk_main_do_event(event);
    gdk_event_free(event);
    EXPECT_EQ(LogLines("Knopf.MouseDown").size(), 2u);
    Close(window);
}

TEST_F(WindowInput, TabMovesTheFocusInCreationOrderAndWrapsAround) {
    RuntimeObject *a = nullptr, *b = nullptr, *d = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        a = kqtest::AddControl(
            w, kqtest::NewControl("A", TestPaneKind::Entry, 10, 10, 100, 24, {"GotFocus"}));
        kqtest::AddControl(w, kqtest::NewControl("C", TestPaneKind::Label, 10, 40, 100, 24));
        b = kqtest::AddControl(
            w, kqtest::NewControl("B", TestPaneKind::Entry, 10, 70, 100, 24, {"GotFocus"}));
        d = kqtest::AddControl(
            w, kqtest::NewControl("D", TestPaneKind::Button, 10, 100, 100, 30, {"GotFocus"}));
    });
    ASSERT_TRUE(kqtest::Activate(window));
    RuntimeSetFocus(a);
    EventLog().clear();
    auto focused = [] { return panes::FocusedPane(); };

    kqtest::PressKey(GDK_KEY_Tab);
    EXPECT_EQ(focused(), controls::PaneOf(b)) << "the label takes no focus";
    kqtest::PressKey(GDK_KEY_Tab);
    EXPECT_EQ(focused(), controls::PaneOf(d));
    kqtest::PressKey(GDK_KEY_Tab);
    EXPECT_EQ(focused(), controls::PaneOf(a)) << "after the last the first";
    kqtest::PressKey(GDK_KEY_Tab, {GDK_KEY_Shift_L});
    EXPECT_EQ(focused(), controls::PaneOf(d)) << "Shift+Tab on the first: the last";
    EXPECT_EQ(FocusLines(), (Lines{"B.GotFocus", "D.GotFocus", "A.GotFocus", "D.GotFocus"}));
    EXPECT_EQ(LogLines("Fenster.KeyDown"), Lines(4, "Fenster.KeyDown chr(9)"))
        << "the window sees each Tab before it moves the focus";
    EXPECT_EQ(EntryText(a), "") << "no Tab was typed into a field";

    ControlVisibleSetter(a, 0, false);
    kqtest::PressKey(GDK_KEY_Tab);
    EXPECT_EQ(focused(), controls::PaneOf(b)) << "a hidden control is passed over";
    Close(window);
}

TEST_F(WindowInput, AShownWindowFocusesItsFirstFocusableControlInCreationOrder) {
    // Created first but placed lowest: creation order decides, not places.
    RuntimeObject *first = nullptr, *top = nullptr;
    auto add = [&](RuntimeObject *w) {
        kqtest::AddControl(w, kqtest::NewControl("Marke", TestPaneKind::Label, 10, 10, 100, 24));
        RuntimeObject *off = kqtest::AddControl(
            w, kqtest::NewControl("Aus", TestPaneKind::Entry, 10, 40, 100, 24, {"GotFocus"}));
        controlEnabledSetter(off, 0, false);
        first = kqtest::AddControl(
            w, kqtest::NewControl("Unten", TestPaneKind::Entry, 10, 130, 100, 24, {"GotFocus"}));
        top = kqtest::AddControl(
            w, kqtest::NewControl("Oben", TestPaneKind::Entry, 10, 70, 100, 24, {"GotFocus"}));
    };
    // Visible from its layout: shown at construction, before its controls.
    kqtest::PropertyStream visible;
    visible.Boolean(0, true);
    kqtest::SetLayoutStream(&visible);
    static RuntimeClass *shown = kqtest::ImageWindowClass("Sichtbar", {WindowEvent::Layout});
    RuntimeObject *window = kqtest::NewWindow(shown, add);
    RuntimeObject *first1 = first, *top1 = top;
    EXPECT_EQ(panes::FocusedPane(), controls::PaneOf(first1));
    EXPECT_EQ(FocusLines(), Lines{"Unten.GotFocus"}) << "a disabled field is passed over";
    ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));
    ASSERT_TRUE(kqtest::Activate(window));
    kqtest::PressKey(GDK_KEY_x);
    EXPECT_EQ(EntryText(first1), "x") << "the keyboard focus is there too";

    // An Open handler that places the focus keeps it.
    static RuntimeClass *opening =
        kqtest::ImageWindowClass("Eroeffnung", {WindowEvent::Layout, WindowEvent::Open});
    kqtest::OnEvent("Eroeffnung.Open", [&top](RuntimeObject *) { RuntimeSetFocus(top); });
    EventLog().clear();
    RuntimeObject *second = kqtest::NewWindow(opening, add);
    EXPECT_EQ(panes::FocusedPane(), controls::PaneOf(top));
    EXPECT_EQ(FocusLines(), Lines{"Oben.GotFocus"});
    kqtest::SetLayoutStream(nullptr);

    // Shown again while the focus is in another window: its first again;
    // while it holds the focus itself, it keeps it.
    RuntimeHideWindow(window);
    RuntimeShowWindow(window);
    EXPECT_EQ(panes::FocusedPane(), controls::PaneOf(first1));
    RuntimeSetFocus(top1);
    RuntimeHideWindow(window);
    RuntimeShowWindow(window);
    EXPECT_EQ(panes::FocusedPane(), controls::PaneOf(top1));
    Close(second);
    Close(window);
}

TEST_F(WindowInput, ReturnAndEscapePressTheDefaultAndCancelButtons) {
    RuntimeObject *field = nullptr, *text = nullptr, *ok = nullptr, *cancel = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field =
            kqtest::AddControl(w, kqtest::NewControl("Feld", TestPaneKind::Entry, 10, 10, 100, 24));
        text = kqtest::AddControl(
            w, kqtest::NewControl("Text", TestPaneKind::TextView, 10, 40, 100, 60));
        ok = kqtest::AddControl(
            w, kqtest::NewControl("OK", TestPaneKind::Button, 120, 10, 80, 30, {"Action"}));
        cancel = kqtest::AddControl(
            w, kqtest::NewControl("Abbrechen", TestPaneKind::Button, 120, 50, 80, 30, {"Action"}));
    });
    ASSERT_TRUE(kqtest::Activate(window));
    RuntimeSetFocus(field);
    EventLog().clear();
    EXPECT_FALSE(Press(window, GDK_KEY_Escape)) << "without a cancel button Escape goes on";
    EXPECT_EQ(EventLog(), Lines{}) << "to the text field itself";
    RuntimeSetFocus(ok);
    EXPECT_FALSE(Press(window, GDK_KEY_Escape));
    EXPECT_EQ(EventLog(), Lines{"Fenster.KeyDown chr(27)"}) << "the window saw it, and let it go";

    RuntimeSetFocus(field);
    boolSetter(ok, kRectControlInstanceSize + 4, true);     // Default
    boolSetter(cancel, kRectControlInstanceSize + 5, true); // Cancel
    EventLog().clear();
    kqtest::PressKey(GDK_KEY_Return);
    EXPECT_EQ(EventLog(), (Lines{"Fenster.KeyDown Enter", "OK.Action"}));
    EventLog().clear();
    kqtest::PressKey(GDK_KEY_Escape);
    EXPECT_EQ(EventLog(), (Lines{"Fenster.KeyDown chr(27)", "Abbrechen.Action"}));

    RuntimeSetFocus(text);
    EventLog().clear();
    kqtest::PressKey(GDK_KEY_Return);
    EXPECT_EQ(EventLog(), Lines{}) << "Return in a multi-line field is a line break";
    GtkTextBuffer *buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(kqtest::WidgetOf(text)));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gchar *typed = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
    EXPECT_STREQ(typed, "\n");
    g_free(typed);
    kqtest::PressKey(GDK_KEY_KP_Enter);
    EXPECT_EQ(EventLog(), (Lines{"Fenster.KeyDown Enter", "OK.Action"}))
        << "only Enter presses the default button from a multi-line field";
    EXPECT_NE(kqtest::SaveScreenshot(kqtest::ToplevelOf(window), "window-default-buttons"), "");
    Close(window);
}

TEST_F(WindowInput, KeysGoToTheFocusedControlFirstThenToTheWindow) {
    RuntimeObject *field = nullptr, *button = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field = kqtest::AddControl(
            w, kqtest::NewControl("Feld", TestPaneKind::Entry, 10, 10, 100, 24, {"KeyDown"}));
        button = kqtest::AddControl(
            w, kqtest::NewControl("Knopf", TestPaneKind::Button, 10, 50, 100, 30));
    });
    ASSERT_TRUE(kqtest::Activate(window));
    RuntimeSetFocus(field);
    EventLog().clear();

    kqtest::Answer("Feld.KeyDown", true);
    kqtest::PressKey(GDK_KEY_a);
    EXPECT_EQ(EventLog(), Lines{"Feld.KeyDown a"});
    EXPECT_EQ(EntryText(field), "") << "True consumes the key";

    kqtest::Answer("Feld.KeyDown", false);
    EventLog().clear();
    kqtest::PressKey(GDK_KEY_b);
    EXPECT_EQ(EventLog(), Lines{"Feld.KeyDown b"}) << "a text field keeps its keys";
    EXPECT_EQ(EntryText(field), "b");

    RuntimeSetFocus(button);
    EventLog().clear();
    kqtest::PressKey(GDK_KEY_F5);
    kqtest::PressKey(GDK_KEY_Left);
    kqtest::PressKey(GDK_KEY_Delete);
    kqtest::PressKey(GDK_KEY_x, {GDK_KEY_Shift_L});
    kqtest::PressKey(GDK_KEY_dead_acute);
    kqtest::PressKey(GDK_KEY_e);
    EXPECT_EQ(EventLog(),
              (Lines{"Fenster.KeyDown F5", "Fenster.KeyDown Left Arrow", "Fenster.KeyDown Del",
                     "Fenster.KeyDown X", "Fenster.KeyDown \xC3\xA9"}))
        << "the dead key itself has no text; with the e it makes \xC3\xA9";
    Close(window);
}

TEST_F(WindowInput, ShiftF10AsksForTheFocusedControlsContextualMenu) {
    RuntimeObject *field = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field =
            kqtest::AddControl(w, kqtest::NewControl("Feld", TestPaneKind::Entry, 30, 40, 100, 24));
    });
    routing::SetContextualMenuHook(ShowMenu);
    RuntimeSetFocus(field);
    EventLog().clear();
    EXPECT_TRUE(Press(window, GDK_KEY_F10, GDK_SHIFT_MASK));
    EXPECT_EQ(gMenuTarget, field);
    EXPECT_EQ(EventLog(), Lines{"menu at 0,0"}) << "at the control's own corner";
    gMenuTarget = nullptr;
    EXPECT_FALSE(Press(window, GDK_KEY_F10, GDK_SHIFT_MASK | GDK_CONTROL_MASK));
    EXPECT_EQ(gMenuTarget, nullptr) << "with another modifier F10 is an ordinary key";
    routing::SetContextualMenuHook(nullptr);
    EventLog().clear();
    EXPECT_FALSE(Press(window, GDK_KEY_F10, GDK_SHIFT_MASK)) << "no menu: not consumed";
    Close(window);
}
