// Windows through their life: construction and the Open events, showing and
// hiding, CancelClose and Close, deferred destruction, implicit instances,
// the modal loop, reopening, and design-time properties from a stream.
#include "GuiTest.h"
#include "MenuItem.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "WindowList.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <cstdlib>

using kqtest::EventLog;
using kqtest::TestPaneKind;
using Lines = std::vector<std::string>;

namespace {

using WindowLifecycle = kqtest::WindowTest;

RuntimeClass *LoggingWindowClass() {
    static RuntimeClass *cls =
        kqtest::ImageWindowClass("Fenster", {WindowEvent::Layout, WindowEvent::Open,
                                             WindowEvent::Close, WindowEvent::CancelClose});
    return cls;
}

bool Mapped(GtkWidget *widget) {
    return widget != nullptr && gtk_widget_get_mapped(widget);
}

WindowObject *Record(RuntimeObject *window) {
    return windows::AsWindow(window);
}

RuntimeClass *StreamWindowClass(const char *name) {
    return kqtest::ImageWindowClass(name, {WindowEvent::Layout, WindowEvent::Open});
}

// Window property slots, counted in the order of the Window's properties.
enum Slot : uint16_t {
    kVisible = 0,
    kWidth = 3,
    kHeight = 4,
    kPlacement = 5,
    kTitle = 6,
    kCloseButton = 10,
    kResizeable = 12,
    kFrame = 16,
    kBackColor = 22,
    kMinWidth = 24,
    kMinHeight = 25,
    kMaxWidth = 26,
    kMaxHeight = 27,
};

// The size hints GTK+ gave the X window.
XSizeHints Hints(RuntimeObject *window) {
    XSizeHints hints{};
    long supplied = 0;
    GtkWidget *top = kqtest::ToplevelOf(window);
    XGetWMNormalHints(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()), kqtest::XidOf(top), &hints,
                      &supplied);
    return hints;
}

// Closes the control's window from inside its MouseDown handler and looks
// at the control's pane right after.
bool CloseFromMouseDown(RuntimeObject *control, int32_t, int32_t) {
    RuntimeCloseWindow(controls::WindowOf(control));
    kqtest::Log(controls::PaneOf(control) != nullptr ? "pane kept during the handler"
                                                     : "pane gone during the handler");
    return true;
}

gboolean CloseLater(gpointer window) {
    kqtest::Log("timer closes");
    RuntimeCloseWindow(static_cast<RuntimeObject *>(window));
    return FALSE;
}

gboolean HideLater(gpointer window) {
    kqtest::Log("timer hides");
    RuntimeHideWindow(static_cast<RuntimeObject *>(window));
    return FALSE;
}

} // namespace

TEST_F(WindowLifecycle, ConstructionRaisesLayoutThenControlOpensThenWindowOpen) {
    RuntimeObject *window = kqtest::NewWindow(LoggingWindowClass(), [](RuntimeObject *w) {
        kqtest::AddControl(w, kqtest::NewControl("First", TestPaneKind::Button, 10, 10, 80, 24,
                                                 {"Open", "Close"}));
        kqtest::AddControl(w, kqtest::NewControl("Second", TestPaneKind::Label, 10, 40, 80, 24,
                                                 {"Open", "Close"}));
    });
    EXPECT_EQ(EventLog(), (Lines{"Fenster.Layout", "First.Open", "Second.Open", "Fenster.Open"}));
    EXPECT_NE(kqtest::ToplevelOf(window), nullptr);
    EXPECT_FALSE(Mapped(kqtest::ToplevelOf(window))) << "Visible is false until set";

    EventLog().clear();
    RuntimeCloseWindow(window);
    EXPECT_EQ(EventLog(),
              (Lines{"Fenster.CancelClose", "Second.Close", "First.Close", "Fenster.Close"}));
    EXPECT_EQ(kqtest::ToplevelOf(window), nullptr);
    EXPECT_EQ(windowControlCountGetter(window, 0), 0) << "the controls went with the window";
    EventLog().clear();
    RuntimeCloseWindow(window);
    EXPECT_EQ(EventLog(), Lines{}) << "a closed window has nothing to close";
    RuntimeUnlockObject(window);
}

TEST_F(WindowLifecycle, CancelCloseKeepsTheWindowOpenUntilItAgrees) {
    RuntimeObject *window = kqtest::NewWindow(LoggingWindowClass());
    RuntimeShowWindow(window);
    ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));
    size_t before = windowlist::Count();

    kqtest::Answer("Fenster.CancelClose", true);
    EventLog().clear();
    RuntimeCloseWindow(window);
    EXPECT_EQ(EventLog(), Lines{"Fenster.CancelClose"}) << "no Close after a refusal";
    EXPECT_TRUE(Mapped(kqtest::ToplevelOf(window)));
    EXPECT_EQ(windowlist::Count(), before);

    kqtest::Answer("Fenster.CancelClose", false);
    EventLog().clear();
    unsigned long xid = kqtest::XidOf(kqtest::ToplevelOf(window));
    RuntimeCloseWindow(window);
    EXPECT_EQ(EventLog(), (Lines{"Fenster.CancelClose", "Fenster.Close"}));
    EXPECT_EQ(windowlist::Count(), before - 1);
    EXPECT_TRUE(kqtest::WaitUntil([xid] { return !kqtest::XWindowExists(xid); }));
    RuntimeUnlockObject(window);
}

TEST_F(WindowLifecycle, ShowAndHideMapTheWindowAndKeepVisibleUpToDate) {
    RuntimeObject *window = kqtest::NewWindow(LoggingWindowClass());
    GtkWidget *top = kqtest::ToplevelOf(window);
    RuntimeShowWindow(window);
    ASSERT_TRUE(kqtest::WaitForWindow(top));
    EXPECT_TRUE(WindowVisibleGetter(window, 0));
    EXPECT_TRUE(windows::NativeOf(window)->IsShown());

    RuntimeHideWindow(window);
    EXPECT_FALSE(WindowVisibleGetter(window, 0));
    EXPECT_FALSE(Mapped(top));
    EXPECT_EQ(windowlist::At(windowlist::Count() - 1), windows::NativeOf(window))
        << "a hidden window goes to the back of the window list";

    WindowVisibleSetter(window, 0, true);
    EXPECT_TRUE(kqtest::WaitForWindow(top));
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

TEST_F(WindowLifecycle, ClosingInsideAnEventKeepsThePanesUntilTheDispatchEnds) {
    RuntimeObject *button = nullptr;
    RuntimeObject *window = kqtest::NewWindow(LoggingWindowClass(), [&](RuntimeObject *w) {
        button = kqtest::AddControl(
            w, kqtest::NewControl("Knopf", TestPaneKind::Button, 20, 20, 120, 40, {"Close"}));
    });
    kqtest::Handle(button, "MouseDown", KQ_CODE(CloseFromMouseDown));
    Ref<> keepButton(button);
    RuntimeShowWindow(window);
    ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));

    EventLog().clear();
    kqtest::ClickWidget(kqtest::WidgetOf(button));
    EXPECT_EQ(EventLog(), (Lines{"Fenster.CancelClose", "Knopf.Close", "Fenster.Close",
                                 "pane kept during the handler"}));
    EXPECT_EQ(controls::PaneOf(button), nullptr) << "destroyed once the click was handled";
    EXPECT_EQ(controls::WindowOf(button), nullptr);
    EXPECT_EQ(kqtest::ToplevelOf(window), nullptr);
    RuntimeUnlockObject(window);
}

TEST_F(WindowLifecycle, ImplicitInstanceIsReusedUntilItCloses) {
    RuntimeClass *cls = kqtest::ImageWindowClass("Hauptfenster", {});
    kstr::StringRef name(kstr::FromC("hauptfenster"));
    EXPECT_EQ(RuntimeGetImplicitWindow(name.Get()), nullptr) << "the caller creates it";
    RuntimeObject *created = kqtest::NewWindow(cls);
    RuntimeObject *again = RuntimeGetImplicitWindow(name.Get());
    EXPECT_EQ(again, created);
    RuntimeUnlockObject(again);
    EXPECT_EQ(created->refCount, 3) << "creator, registry and native window";

    RuntimeObject *other = kqtest::NewWindow(cls);
    RuntimeObject *stillFirst = RuntimeGetImplicitWindow(name.Get());
    EXPECT_EQ(stillFirst, created) << "only the instance made for the empty slot fills it";
    RuntimeUnlockObject(stillFirst);

    RuntimeCloseWindow(created);
    EXPECT_EQ(created->refCount, 1) << "the registry let go when the window closed";
    EXPECT_EQ(RuntimeGetImplicitWindow(name.Get()), nullptr) << "the next use makes a new one";
    RuntimeCloseWindow(other);
    RuntimeUnlockObject(other);
    RuntimeUnlockObject(created);
}

TEST_F(WindowLifecycle, ShowModalReturnsOnlyWhenTheWindowIsClosedOrHidden) {
    RuntimeObject *window = kqtest::NewWindow(LoggingWindowClass());
    RuntimeCloseWindow(window);
    ASSERT_EQ(kqtest::ToplevelOf(window), nullptr);

    EventLog().clear();
    g_timeout_add(300, CloseLater, window);
    RuntimeShowModal(window); // not open: opens it first
    kqtest::Log("after ShowModal");
    EXPECT_EQ(EventLog(),
              (Lines{"timer closes", "Fenster.CancelClose", "Fenster.Close", "after ShowModal"}))
        << "reopening raises no new Layout: it is raised at construction";

    RuntimeShowWindow(window);
    ASSERT_NE(kqtest::ToplevelOf(window), nullptr);
    EventLog().clear();
    g_timeout_add(300, HideLater, window);
    RuntimeShowModal(window);
    kqtest::Log("after ShowModal");
    EXPECT_EQ(EventLog(), (Lines{"timer hides", "after ShowModal"}));
    EXPECT_FALSE(gtk_window_get_modal(GTK_WINDOW(kqtest::ToplevelOf(window))));
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

TEST_F(WindowLifecycle, DesignTimeStreamSetsSizeTitleColourAndLimits) {
    kqtest::PropertyStream stream;
    stream.Integer(kPlacement, 0)
        .Integer(kWidth, 637)
        .Integer(kHeight, 446)
        .Integer(kMinWidth, 64)
        .Integer(kMinHeight, 64)
        .Integer(kMaxWidth, 32000)
        .Integer(kMaxHeight, 32000)
        .Integer(kFrame, 0)
        .Color(kBackColor, 0xFFFFFF)
        .Text(kTitle, "DAR-Ozorado pillwerk")
        .Boolean(kCloseButton, true)
        .Boolean(kResizeable, true)
        .Boolean(kVisible, true);
    kqtest::SetLayoutStream(&stream);
    RuntimeObject *window = kqtest::NewWindow(StreamWindowClass("Hauptfenster"));
    kqtest::SetLayoutStream(nullptr);
    GtkWidget *top = kqtest::ToplevelOf(window);
    ASSERT_TRUE(kqtest::WaitForWindow(top)) << "Visible from the stream shows it at opening";

    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(top)), "DAR-Ozorado pillwerk");
    int width = 0, height = 0;
    gdk_drawable_get_size(gtk_widget_get_window(top), &width, &height);
    EXPECT_EQ(width, 637);
    EXPECT_EQ(height, 446);
    EXPECT_EQ(Record(window)->backColor, 0xFFFFFFu);
    XSizeHints hints = Hints(window);
    EXPECT_TRUE(hints.flags & PMinSize);
    EXPECT_FALSE(hints.flags & PMaxSize) << "32000 by 32000 means no maximum";
    EXPECT_EQ(hints.min_width, 64);
    EXPECT_EQ(hints.min_height, 64);
    EXPECT_EQ(EventLog(), (Lines{"Hauptfenster.Layout", "Hauptfenster.Open"}));
    EXPECT_NE(kqtest::SaveScreenshot(top, "window-from-stream"), "");
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

// A visible window goes on the screen with its controls: not while they are
// added, but when its constructor runs (or, without one, at the next turn
// of the main loop), mapped with all of them. The focus goes to the first
// control in creation order, even where GTK+ would choose another by the
// widgets' places (the field below the button).
TEST_F(WindowLifecycle, VisibleWindowIsShownWithItsControlsFocusingTheFirst) {
    kqtest::PropertyStream visible;
    visible.Boolean(kVisible, true);
    kqtest::SetLayoutStream(&visible);
    RuntimeClass *cls = StreamWindowClass("Gebaut");
    bool mappedWhileBuilding = true;
    RuntimeObject *field = nullptr;
    RuntimeObject *window = kqtest::NewWindow(cls, [&](RuntimeObject *w) {
        field =
            kqtest::AddControl(w, kqtest::NewControl("Feld", TestPaneKind::Entry, 10, 40, 80, 24));
        kqtest::AddControl(w, kqtest::NewControl("Knopf", TestPaneKind::Button, 10, 10, 80, 24));
        mappedWhileBuilding = Mapped(kqtest::ToplevelOf(w));
        EXPECT_TRUE(windows::NativeOf(w)->IsShown()) << "marked shown from the start";
    });
    EXPECT_FALSE(mappedWhileBuilding);
    GtkWidget *top = kqtest::ToplevelOf(window);
    EXPECT_TRUE(gtk_widget_get_visible(top)) << "the constructor shows it";
    ASSERT_TRUE(kqtest::WaitForWindow(top));
    EXPECT_TRUE(Mapped(kqtest::WidgetOf(field)));
    EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(top)), kqtest::WidgetOf(field));
    EXPECT_EQ(Record(window)->mFocusControl, field);
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);

    // No constructor: the main loop shows it; a Hide before that keeps it off.
    window = RuntimeNewObject(cls);
    top = kqtest::ToplevelOf(window);
    EXPECT_FALSE(gtk_widget_get_visible(top));
    EXPECT_TRUE(kqtest::WaitForWindow(top));
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
    window = RuntimeNewObject(cls);
    top = kqtest::ToplevelOf(window);
    RuntimeHideWindow(window);
    EXPECT_FALSE(kqtest::WaitUntil([top] { return Mapped(top); }, 500));
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
    kqtest::SetLayoutStream(nullptr);
}

TEST_F(WindowLifecycle, SizeLimitsFollowResizeableAndTheZeroRule) {
    kqtest::PropertyStream fixed;
    fixed.Integer(kWidth, 300)
        .Integer(kHeight, 200)
        .Integer(kMinWidth, 100)
        .Integer(kMinHeight, 80);
    fixed.Integer(kMaxWidth, 500)
        .Integer(kMaxHeight, 400)
        .Boolean(kResizeable, false)
        .Boolean(kVisible, true);
    kqtest::SetLayoutStream(&fixed);
    RuntimeObject *window = kqtest::NewWindow(StreamWindowClass("Fest"));
    ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));
    XSizeHints hints = Hints(window);
    EXPECT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, 300) << "a window that is not resizeable keeps its size";
    EXPECT_EQ(hints.max_height, 200);

    windowGrowIconSetter(window, 0, true);
    kqtest::Settle([window] { return Hints(window).max_width == 500; });
    hints = Hints(window);
    EXPECT_EQ(hints.min_width, 100);
    EXPECT_EQ(hints.max_width, 500);
    EXPECT_EQ(hints.max_height, 400);
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);

    kqtest::PropertyStream none;
    none.Integer(kWidth, 300)
        .Integer(kHeight, 200)
        .Boolean(kResizeable, false)
        .Boolean(kVisible, true);
    kqtest::SetLayoutStream(&none);
    window = kqtest::NewWindow(StreamWindowClass("Frei"));
    kqtest::SetLayoutStream(nullptr);
    ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));
    hints = Hints(window);
    EXPECT_FALSE(hints.flags & PMaxSize) << "all four limits 0: no limits of the window's own";
    EXPECT_LT(hints.min_width, 100) << "only GTK+'s own minimum, the content's request";
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

gboolean CountConfigure(GtkWidget *, GdkEvent *, gpointer count) {
    ++*static_cast<int *>(count);
    return FALSE;
}

// A window that cannot be resized gets its hints before its menu bar has a
// height; once the bar has one, the window grows by it and then keeps still
// (no configure after configure, no redraw after redraw while it is idle).
TEST_F(WindowLifecycle, FixedSizeWindowWithMenuBarSettlesBelowTheBar) {
    kqtest::PropertyStream stream;
    stream.Integer(kWidth, 300)
        .Integer(kHeight, 200)
        .Integer(kMinWidth, 64)
        .Integer(kMinHeight, 64)
        .Integer(kMaxWidth, 32000)
        .Integer(kMaxHeight, 32000)
        .Boolean(kResizeable, false);
    kqtest::SetLayoutStream(&stream);
    RuntimeObject *window = kqtest::NewWindow(StreamWindowClass("Leiste"));
    kqtest::SetLayoutStream(nullptr);
    RuntimeObject *bar = definitions::Instantiate(&MenuBarDefinition);
    RuntimeObject *menu = definitions::Instantiate(&MenuItemDefinition);
    kstr::StringRef text(kstr::FromC("&Datei"));
    RuntimeMenuItemTextSetter(menu, 0, text.Get());
    RuntimeMenuItemAppend(bar, menu);
    RuntimeUnlockObject(menu);
    WindowMenuBarSetter(window, 0, bar);
    RuntimeUnlockObject(bar);
    RuntimeShowWindow(window);
    GtkWidget *top = kqtest::ToplevelOf(window);
    ASSERT_TRUE(kqtest::WaitForWindow(top));
    kqtest::Settle();
    kqtest::Settle();

    int configures = 0;
    g_signal_connect(top, "configure-event", G_CALLBACK(CountConfigure), &configures);
    for (int i = 0; i < 4; ++i)
        kqtest::Settle();
    EXPECT_EQ(configures, 0) << "the window keeps configuring itself";
    int offset = windows::NativeOf(window)->ContentOffset();
    EXPECT_GT(offset, 0);
    int width = 0, height = 0;
    gdk_drawable_get_size(gtk_widget_get_window(top), &width, &height);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 200 + offset) << "the content keeps its 200 pixels below the bar";
    EXPECT_EQ(Hints(window).max_height, 200 + offset);
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

TEST_F(WindowLifecycle, FrameTypeDecidesDecorationsAndTypeHint) {
    struct Case {
        int32_t frame;
        bool decorated;
        GdkWindowTypeHint hint;
    };
    const Case cases[] = {
        {0, true, GDK_WINDOW_TYPE_HINT_NORMAL},  {3, true, GDK_WINDOW_TYPE_HINT_UTILITY},
        {4, false, GDK_WINDOW_TYPE_HINT_NORMAL}, {5, false, GDK_WINDOW_TYPE_HINT_NORMAL},
        {7, true, GDK_WINDOW_TYPE_HINT_UTILITY}, {99, true, GDK_WINDOW_TYPE_HINT_NORMAL}};
    for (const Case &c : cases) {
        kqtest::PropertyStream stream;
        stream.Integer(kFrame, c.frame);
        kqtest::SetLayoutStream(&stream);
        RuntimeObject *window = kqtest::NewWindow(StreamWindowClass("Rahmen"));
        GtkWindow *top = GTK_WINDOW(kqtest::ToplevelOf(window));
        EXPECT_EQ(bool(gtk_window_get_decorated(top)), c.decorated) << "frame " << c.frame;
        EXPECT_EQ(gtk_window_get_type_hint(top), c.hint) << "frame " << c.frame;
        RuntimeCloseWindow(window);
        RuntimeUnlockObject(window);
    }
    kqtest::SetLayoutStream(nullptr);
}

TEST_F(WindowLifecycle, TitleSetWhileClosedAppearsWhenTheWindowReopens) {
    RuntimeObject *window = kqtest::NewWindow(LoggingWindowClass());
    RuntimeCloseWindow(window);
    const char later[] = "Sp\xC3\xA4ter";
    kstr::StringRef title(kstr::Make(later, sizeof later - 1, kEncodingUTF8));
    windowTitleSetter(window, 0, title.Get());
    EXPECT_EQ(kqtest::ToplevelOf(window), nullptr) << "setting a property does not open it";

    RuntimeShowWindow(window);
    GtkWidget *top = kqtest::ToplevelOf(window);
    ASSERT_TRUE(kqtest::WaitForWindow(top));
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(top)), later);
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}
