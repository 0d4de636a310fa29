// The controls of a window: the control list and name map, control arrays,
// lookups, stored values applied to new panes, enclosing controls, the
// re-layout of locked controls when the window is resized, and focus.
#include "ControlAccessors.h"
#include "GuiTest.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using kqtest::EventLog;
using kqtest::TestPaneKind;
using Lines = std::vector<std::string>;

namespace {

using WindowControls = kqtest::WindowTest;

RuntimeClass *PlainWindowClass() {
    static RuntimeClass *cls = kqtest::ImageWindowClass(
        "Fenster", {WindowEvent::Layout, WindowEvent::Resized, WindowEvent::Open});
    return cls;
}

// A control-array member class of the "image": the test control with the
// `_PaneChild` interface, whose `_Index` answers the control's Index.
int32_t MemberIndex(RuntimeObject *control) {
    return reinterpret_cast<ControlObject *>(control)->mIndex;
}
void MemberSetIndex(RuntimeObject *control, int32_t index) {
    reinterpret_cast<ControlObject *>(control)->mIndex = index;
}
void MemberSetWindow(RuntimeObject *, RuntimeObject *) {}
RuntimeObject *MemberWindow(RuntimeObject *control) {
    return controlWindowGetter(control, 0);
}

RuntimeClass *ArrayMemberClass() {
    static RuntimeClass *cls = [] {
        RuntimeClass *base = kqtest::TestControlClass();
        RuntimeClass *c = RuntimeNewClass(base, base->methodCount, base->interfaceCount + 1,
                                          base->eventCount, base->memberCount, base->propertyCount);
        c->name = kstr::FromC("FeldArray");
        c->instanceSize = base->instanceSize;
        RuntimeMethodEntry *methods = RuntimeNewVtable(4);
        methods[0].code = KQ_CODE(MemberSetWindow);
        methods[1].code = KQ_CODE(MemberWindow);
        methods[2].code = KQ_CODE(MemberIndex);
        methods[3].code = KQ_CODE(MemberSetIndex);
        c->interfaces()[base->interfaceCount] = {definitions::Convert(&_PaneChildDefinition), 4,
                                                 methods};
        return c;
    }();
    return cls;
}

RuntimeObject *NewMember(const char *name, int32_t index) {
    RuntimeObject *control = RuntimeNewObject(ArrayMemberClass());
    kstr::StringRef text(kstr::FromC(name));
    stringSetter(control, offsetof(ControlObject, mName), text.Get());
    MemberSetIndex(control, index);
    RuntimeControlMove(control, 10, 10 + 30 * index, 100, 24);
    return control;
}

class DeathNotice : public PaneDeathNotificationReceiver {
  public:
    void PaneDied(Pane *pane) override { died = pane; }
    Pane *died = nullptr;
};

PaneRect RectOf(RuntimeObject *control) {
    return {int16_t(ctlPosGetter(control, 1)), int16_t(ctlPosGetter(control, 0)),
            int16_t(ctlPosGetter(control, 1) + ctlPosGetter(control, 3)),
            int16_t(ctlPosGetter(control, 0) + ctlPosGetter(control, 2))};
}

} // namespace

TEST_F(WindowControls, ControlCountAndIndexWalkTheControlsInOrderOfAddition) {
    RuntimeObject *empty = kqtest::NewWindow(PlainWindowClass());
    EXPECT_EQ(windowControlCountGetter(empty, 0), 0);
    EXPECT_EQ(kqtest::CaughtClass([empty] { windowControl(empty, 0); }), "OutOfBoundsException");
    RuntimeCloseWindow(empty);
    RuntimeUnlockObject(empty);

    RuntimeObject *window = kqtest::NewWindow(PlainWindowClass(), [](RuntimeObject *w) {
        kqtest::AddControl(w, kqtest::NewControl("Eins", TestPaneKind::Label, 0, 0, 50, 20));
        kqtest::AddControl(w, kqtest::NewControl("Zwei", TestPaneKind::Entry, 0, 30, 50, 20));
        kqtest::AddControl(w, kqtest::NewControl("Drei", TestPaneKind::Button, 0, 60, 50, 20));
    });
    EXPECT_EQ(windowControlCountGetter(window, 0), 3);
    const char *names[] = {"Eins", "Zwei", "Drei"};
    for (int32_t i = 0; i < 3; ++i) {
        RuntimeObject *control = windowControl(window, i);
        EXPECT_STREQ(kstr::Text(reinterpret_cast<ControlObject *>(control)->mName), names[i]);
        RuntimeUnlockObject(control);
    }
    for (int32_t index : {3, -1})
        EXPECT_EQ(kqtest::CaughtClass([window, index] { windowControl(window, index); }),
                  "OutOfBoundsException")
            << "index " << index;
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

TEST_F(WindowControls, ControlsAreFoundByNameWithoutRegardToCase) {
    RuntimeObject *button = nullptr;
    RuntimeObject *window = kqtest::NewWindow(PlainWindowClass(), [&](RuntimeObject *w) {
        button = kqtest::AddControl(
            w, kqtest::NewControl("OKButton", TestPaneKind::Button, 0, 0, 80, 24));
    });
    kstr::StringRef lower(kstr::FromC("okbutton")), absent(kstr::FromC("Abbrechen"));
    RuntimeObject *found = RuntimeControlReference(window, lower.Get());
    EXPECT_EQ(found, button);
    EXPECT_EQ(found->refCount, 2) << "the window's control list and the caller";
    RuntimeUnlockObject(found);
    EXPECT_EQ(RuntimeControlReference(window, absent.Get()), nullptr);
    EXPECT_EQ(RuntimeControlReference(nullptr, lower.Get()), nullptr);
    RuntimeCloseWindow(window);
    EXPECT_EQ(RuntimeControlReference(window, lower.Get()), nullptr) << "the map went with it";
    RuntimeUnlockObject(window);
}

TEST_F(WindowControls, ControlArrayMembersAreKeyedByNameAndIndex) {
    RuntimeObject *first = nullptr, *second = nullptr, *clash = nullptr;
    RuntimeObject *window = kqtest::NewWindow(PlainWindowClass(), [&](RuntimeObject *w) {
        first = kqtest::AddControl(w, NewMember("Feld", 0));
        second = kqtest::AddControl(w, NewMember("Feld", 1));
        clash = kqtest::AddControl(w, NewMember("Feld", 1));
    });
    EXPECT_EQ(windowControlCountGetter(window, 0), 3);
    kstr::StringRef name(kstr::FromC("feld"));
    RuntimeObject *expected[] = {first, second, clash};
    for (int32_t index = 0; index < 3; ++index) {
        RuntimeObject *found = RuntimeControlArrayItemReference(window, name.Get(), index);
        EXPECT_EQ(found, expected[index]) << "Feld$" << index;
        RuntimeUnlockObject(found);
    }
    EXPECT_EQ(RuntimeControlReference(window, name.Get()), nullptr) << "members have no bare key";
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

TEST_F(WindowControls, StoredValuesReachThePaneWhenItIsMade) {
    RuntimeObject *control = kqtest::NewControl("Versteckt", TestPaneKind::Button, 5, 6, 70, 30);
    ControlVisibleSetter(control, 0, false);
    controlEnabledSetter(control, 0, false);
    kstr::StringRef help(kstr::FromC("Hilfe"));
    controlHelpTagSetter(control, offsetof(RectControlObject, helpTag), help.Get());
    EXPECT_EQ(controls::PaneOf(control), nullptr);

    RuntimeObject *window = kqtest::NewWindow(
        PlainWindowClass(), [&](RuntimeObject *w) { kqtest::AddControl(w, control); });
    GtkWidget *widget = kqtest::WidgetOf(control);
    ASSERT_NE(widget, nullptr) << "added to an open window: the pane is made at once";
    EXPECT_FALSE(gtk_widget_get_visible(widget));
    EXPECT_FALSE(gtk_widget_get_sensitive(widget));
    gchar *tip = gtk_widget_get_tooltip_text(widget);
    EXPECT_STREQ(tip, "Hilfe");
    g_free(tip);
    EXPECT_EQ(controls::PaneOf(control)->Rect(), (PaneRect{6, 5, 36, 75}));

    ControlVisibleSetter(control, 0, true);
    ctlPosSetter(control, 2, 90);
    EXPECT_TRUE(gtk_widget_get_visible(widget));
    EXPECT_EQ(controls::PaneOf(control)->Rect(), (PaneRect{6, 5, 36, 95}));
    int width, height;
    gtk_widget_get_size_request(widget, &width, &height);
    EXPECT_EQ(width, 90);
    EXPECT_EQ(height, 30);

    DeathNotice notice;
    Pane *pane = controls::PaneOf(control);
    pane->AddDeathReceiver(&notice);
    RuntimeCloseWindow(window);
    EXPECT_EQ(notice.died, pane);
    RuntimeUnlockObject(window);
}

TEST_F(WindowControls, InitialParentPlacesThePaneInsideTheNamedContainer) {
    RuntimeObject *frame = nullptr, *inner = nullptr, *outer = nullptr, *other = nullptr;
    RuntimeObject *window = kqtest::NewWindow(PlainWindowClass(), [&](RuntimeObject *w) {
        frame = kqtest::AddControl(
            w, kqtest::NewControl("Gruppe", TestPaneKind::Frame, 10, 10, 200, 100));
        inner = kqtest::NewControl("Innen", TestPaneKind::Entry, 20, 40, 100, 24);
        kstr::StringRef group(kstr::FromC("gruppe"));
        ControlInitialParentSetter(inner, 0, group.Get());
        controlLockRightSetter(inner, 0, true);
        controlLockLeftSetter(inner, 0, true);
        kqtest::AddControl(w, inner);
        outer = kqtest::AddControl(
            w, kqtest::NewControl("Aussen", TestPaneKind::Entry, 20, 150, 100, 24));
        other = kqtest::AddControl(
            w, kqtest::NewControl("Zweite", TestPaneKind::Frame, 250, 10, 100, 100));
    });
    SubPane *framePane = controls::PaneOf(frame);
    EXPECT_EQ(controls::PaneOf(inner)->Parent(), framePane);
    EXPECT_EQ(controls::PaneOf(outer)->Parent(), windows::NativeOf(window));
    RuntimeObject *parent = ControlParentGetter(inner, 0);
    EXPECT_EQ(parent, frame);
    RuntimeUnlockObject(parent);

    // Growing the container stretches the child locked to both sides.
    RuntimeControlMove(frame, 10, 10, 260, 100);
    EXPECT_EQ(RectOf(inner), (PaneRect{40, 20, 64, 180}));

    ControlParentSetter(inner, 0, other);
    EXPECT_EQ(controls::PaneOf(inner)->Parent(), controls::PaneOf(other))
        << "a new Parent takes the pane along";
    RuntimeControlMove(frame, 10, 10, 300, 100);
    EXPECT_EQ(RectOf(inner), (PaneRect{40, 20, 64, 180})) << "the old container lets it be";
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

TEST_F(WindowControls, LockedControlsFollowTheWindowWhenItIsResized) {
    struct Row {
        const char *name;
        bool left, top, right, bottom;
        PaneRect after; // after the window grows by 60 by 40
    };
    const Row rows[] = {
        {"Stretch", true, true, true, false, {10, 10, 30, 170}},
        {"Move", false, false, true, false, {40, 70, 60, 170}},
        {"TopOnly", false, true, false, false, {70, 10, 90, 110}},
        {"Bottom", false, false, false, true, {140, 10, 160, 110}},
        {"Tall", false, true, false, true, {130, 120, 210, 150}},
    };
    std::vector<RuntimeObject *> controls;
    kqtest::PropertyStream size;
    size.Integer(3, 300).Integer(4, 200); // Width, Height
    kqtest::SetLayoutStream(&size);
    RuntimeObject *window = kqtest::NewWindow(PlainWindowClass(), [&](RuntimeObject *w) {
        PaneRect before[] = {{10, 10, 30, 110},
                             {40, 10, 60, 110},
                             {70, 10, 90, 110},
                             {100, 10, 120, 110},
                             {130, 120, 170, 150}};
        for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
            const PaneRect &r = before[i];
            RuntimeObject *c = kqtest::NewControl(rows[i].name, TestPaneKind::Entry, r.left, r.top,
                                                  r.Width(), r.Height());
            controlLockLeftSetter(c, 0, rows[i].left);
            controlLockTopSetter(c, 0, rows[i].top);
            controlLockRightSetter(c, 0, rows[i].right);
            controlLockBottomSetter(c, 0, rows[i].bottom);
            controls.push_back(kqtest::AddControl(w, c));
        }
    });
    kqtest::SetLayoutStream(nullptr);
    RuntimeShowWindow(window);
    GtkWidget *top = kqtest::ToplevelOf(window);
    ASSERT_TRUE(kqtest::WaitForWindow(top));
    EventLog().clear();

    WindowMove(window, 50, 50, 360, 240);
    ASSERT_TRUE(kqtest::WaitUntil([] { return !kqtest::LogLines("Fenster.Resized").empty(); }));
    EXPECT_EQ(windowPosGetter(window, 2), 360);
    EXPECT_EQ(windowPosGetter(window, 3), 240);
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(RectOf(controls[i]), rows[i].after) << rows[i].name;
        EXPECT_EQ(controls::PaneOf(controls[i])->Rect(), rows[i].after) << rows[i].name;
    }
    kqtest::Settle();
    GtkAllocation allocation;
    gtk_widget_get_allocation(kqtest::WidgetOf(controls[0]), &allocation);
    EXPECT_EQ(allocation.width, 160) << "the widget was given the new size";
    EXPECT_NE(kqtest::SaveScreenshot(top, "window-locked-controls"), "");
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

TEST_F(WindowControls, FocusMovesBetweenControlsWithTheirFocusEvents) {
    RuntimeObject *a = nullptr, *b = nullptr;
    RuntimeObject *window = kqtest::NewWindow(PlainWindowClass(), [&](RuntimeObject *w) {
        a = kqtest::AddControl(w, kqtest::NewControl("A", TestPaneKind::Entry, 10, 10, 100, 24,
                                                     {"GotFocus", "LostFocus"}));
        b = kqtest::AddControl(w, kqtest::NewControl("B", TestPaneKind::Entry, 10, 40, 100, 24,
                                                     {"GotFocus", "LostFocus"}));
    });
    RuntimeShowWindow(window);
    ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));
    EXPECT_EQ(kqtest::LogLines("A."), Lines{"A.GotFocus"}) << "shown: the first takes it";
    EventLog().clear();
    RuntimeSetFocus(b);
    EXPECT_EQ(EventLog(), (Lines{"A.LostFocus", "B.GotFocus"}));
    RuntimeObject *focus = WindowFocusGetter(window, 0);
    EXPECT_EQ(focus, b);
    RuntimeUnlockObject(focus);

    EventLog().clear();
    WindowFocusSetter(window, 0, a);
    EXPECT_EQ(EventLog(), (Lines{"B.LostFocus", "A.GotFocus"}));
    EventLog().clear();
    formSetFocus(window);
    EXPECT_EQ(EventLog(), Lines{"A.LostFocus"});
    EXPECT_EQ(WindowFocusGetter(window, 0), nullptr) << "the window itself has the focus";
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}
