#include "WindowTestSupport.h"

#include "ControlAccessors.h"
#include "EditField.h"
#include "GuiTest.h"
#include "NativeWindow.h"
#include "PropertyStream.h"
#include "ReportSupport.h"
#include "RuntimeException.h"
#include "RuntimePaneDelegate.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"

#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>
// Xlib names that clash with the code below.
#undef Bool
#undef None

#include <cstdlib>
#include <cstring>
#include <map>

extern "C" KESTstring *editTextGetter(RuntimeObject *control, int32_t);

namespace kqtest {
namespace {

std::map<std::string, bool> gAnswers;
std::map<std::string, std::function<void(RuntimeObject *)>> gActions;

std::string NameOf(RuntimeObject *object) {
    if (controls::IsControl(object))
        return kstr::Text(reinterpret_cast<ControlObject *>(object)->mName);
    return object != nullptr ? kstr::Text(object->classPtr->name) : "?";
}

void Record(RuntimeObject *object, const char *event, const std::string &detail = "") {
    std::string key = NameOf(object) + "." + event;
    Log(key + (detail.empty() ? "" : " " + detail));
    auto action = gActions.find(key);
    if (action != gActions.end()) action->second(object);
}

bool Answered(RuntimeObject *object, const char *event) {
    return kqtest::Answered(NameOf(object) + "." + event);
}

std::string Position(int32_t x, int32_t y) {
    return std::to_string(x) + "," + std::to_string(y);
}

#define KQ_PLAIN_HANDLER(Event)                                                                    \
    void On##Event(RuntimeObject *o) {                                                             \
        Record(o, #Event);                                                                         \
    }
#define KQ_POSITION_HANDLER(Event)                                                                 \
    void On##Event(RuntimeObject *o, int32_t x, int32_t y) {                                       \
        Record(o, #Event, Position(x, y));                                                         \
    }
#define KQ_ANSWERING_POSITION_HANDLER(Event)                                                       \
    bool On##Event(RuntimeObject *o, int32_t x, int32_t y) {                                       \
        Record(o, #Event, Position(x, y));                                                         \
        return Answered(o, #Event);                                                                \
    }

const PropertyStream *gLayoutStream = nullptr;

void OnLayout(RuntimeObject *o) {
    Record(o, "Layout");
    if (gLayoutStream != nullptr) gLayoutStream->ApplyTo(o);
}

KQ_PLAIN_HANDLER(Open)
KQ_PLAIN_HANDLER(Close)
KQ_PLAIN_HANDLER(Resized)
KQ_PLAIN_HANDLER(Moved)
KQ_PLAIN_HANDLER(Activate)
KQ_PLAIN_HANDLER(Deactivate)
KQ_PLAIN_HANDLER(GotFocus)
KQ_PLAIN_HANDLER(LostFocus)
KQ_PLAIN_HANDLER(Action)
KQ_PLAIN_HANDLER(TextChange)
KQ_PLAIN_HANDLER(SelChange)
KQ_PLAIN_HANDLER(EnableMenuItems)
KQ_PLAIN_HANDLER(MouseEnter)
KQ_PLAIN_HANDLER(MouseExit)
KQ_POSITION_HANDLER(MouseDrag)
KQ_POSITION_HANDLER(MouseUp)
KQ_POSITION_HANDLER(MouseMove)
KQ_ANSWERING_POSITION_HANDLER(MouseDown)

bool OnCancelClose(RuntimeObject *o, bool appQuitting) {
    Record(o, "CancelClose", appQuitting ? "quitting" : "");
    return Answered(o, "CancelClose");
}

bool OnKeyDown(RuntimeObject *o, KESTstring *key) {
    std::string text = kstr::Text(key);
    if (text.size() == 1 && uint8_t(text[0]) < 32) text = "chr(" + std::to_string(text[0]) + ")";
    Record(o, "KeyDown", text);
    return Answered(o, "KeyDown");
}

void OnValidationError(RuntimeObject *o, KESTstring *text, int32_t start) {
    Record(o, "ValidationError", std::string(kstr::Text(text)) + " at " + std::to_string(start));
}

struct NamedHandler {
    const char *event;
    void *code;
};

const NamedHandler kHandlers[] = {
    {"Layout", KQ_CODE(OnLayout)},
    {"Open", KQ_CODE(OnOpen)},
    {"Close", KQ_CODE(OnClose)},
    {"CancelClose", KQ_CODE(OnCancelClose)},
    {"KeyDown", KQ_CODE(OnKeyDown)},
    {"MouseMove", KQ_CODE(OnMouseMove)},
    {"MouseEnter", KQ_CODE(OnMouseEnter)},
    {"MouseExit", KQ_CODE(OnMouseExit)},
    {"MouseDown", KQ_CODE(OnMouseDown)},
    {"MouseDrag", KQ_CODE(OnMouseDrag)},
    {"MouseUp", KQ_CODE(OnMouseUp)},
    {"Resized", KQ_CODE(OnResized)},
    {"Moved", KQ_CODE(OnMoved)},
    {"Activate", KQ_CODE(OnActivate)},
    {"Deactivate", KQ_CODE(OnDeactivate)},
    {"GotFocus", KQ_CODE(OnGotFocus)},
    {"LostFocus", KQ_CODE(OnLostFocus)},
    {"Action", KQ_CODE(OnAction)},
    {"TextChange", KQ_CODE(OnTextChange)},
    {"SelChange", KQ_CODE(OnSelChange)},
    {"EnableMenuItems", KQ_CODE(OnEnableMenuItems)},
    {"ValidationError", KQ_CODE(OnValidationError)},
};

void *HandlerFor(const std::string &event) {
    for (const NamedHandler &handler : kHandlers)
        if (event == handler.event) return handler.code;
    ADD_FAILURE() << "no test handler for " << event;
    return nullptr;
}

// ---------------------------------------------------------------------------
// The test control: a RectControl whose pane is a widget of its kind.

struct TestControlObject {
    uint8_t rectControl[kRectControlInstanceSize];
    int32_t kind;
    uint8_t isDefault;
    uint8_t isCancel;
};
constexpr uint32_t kTestControlSize = sizeof(TestControlObject);

EventEntry kTestControlEvents[] = {
    KQ_EVENT("MouseDown", "X As Integer, Y As Integer", "Boolean"),
    KQ_EVENT("MouseDrag", "X As Integer, Y As Integer", nullptr),
    KQ_EVENT("MouseUp", "X As Integer, Y As Integer", nullptr),
    KQ_EVENT("GotFocus", "", nullptr),
    KQ_EVENT("LostFocus", "", nullptr),
    KQ_EVENT("KeyDown", "Key As String", "Boolean"),
    KQ_EVENT("Action", "", nullptr),
};

const ControlEventSet kTestEventSet = {&kTestControlEvents[0], &kTestControlEvents[1],
                                       &kTestControlEvents[2], &kTestControlEvents[3],
                                       &kTestControlEvents[4], &kTestControlEvents[5]};

class TestPane : public ContainerPane {
  public:
    TestPane(ContainerPane *parent, RuntimeObject *control)
        : ContainerPane(parent), mObject(control),
          mControl(reinterpret_cast<TestControlObject *>(control)) {
        const char *name = kstr::Text(reinterpret_cast<ControlObject *>(control)->mName);
        GtkWidget *widget = nullptr;
        switch (TestPaneKind(mControl->kind)) {
        case TestPaneKind::Button:
            widget = gtk_button_new_with_label(name);
            g_signal_connect(widget, "clicked", G_CALLBACK(Clicked), this);
            break;
        case TestPaneKind::Label:
            widget = gtk_label_new(name);
            break;
        case TestPaneKind::Entry:
            widget = gtk_entry_new();
            break;
        case TestPaneKind::TextView:
            widget = gtk_text_view_new();
            break;
        case TestPaneKind::Frame:
            widget = gtk_frame_new(name);
            break;
        }
        SetWidget(widget);
        ConnectCommonHandlers(widget);
    }

    bool IsDefaultButton() const override { return mControl->isDefault; }
    bool IsCancelButton() const override { return mControl->isCancel; }
    void PressButton() override { Clicked(nullptr, this); }

  private:
    static void Clicked(GtkWidget *, TestPane *pane) {
        events::Raise(pane->mObject, kTestControlEvents[6].item);
    }

    RuntimeObject *mObject;
    TestControlObject *mControl;
};

void TestControlCreatePane(RuntimeObject *control) {
    auto *pane = new TestPane(controls::ParentPaneFor(control), control);
    pane->SetDelegate(new RuntimePaneDelegate(control, &kTestEventSet));
    controls::AttachPane(control, pane);
}

const PropertyEntry kTestControlProperties[] = {
    KQ_PROPERTY("Kind", &kTypeInteger, intGetter, intSetter, offsetof(TestControlObject, kind)),
    KQ_PROPERTY("Default", &kTypeBoolean, boolGetter, boolSetter,
                offsetof(TestControlObject, isDefault)),
    KQ_PROPERTY("Cancel", &kTypeBoolean, boolGetter, boolSetter,
                offsetof(TestControlObject, isCancel)),
};
const HookEntry kTestControlHooks[] = {KQ_HOOK("CreatePane", TestControlCreatePane)};

const RuntimeClassDeclaration kTestControlDeclaration = {"TestControl",
                                                         &RectControlDefinition,
                                                         kTestControlSize,
                                                         KQ_GUI_ONLY,
                                                         false,
                                                         KQ_TABLE(kTestControlProperties),
                                                         KQ_NO_TABLE,
                                                         KQ_TABLE(kTestControlEvents),
                                                         KQ_TABLE(kTestControlHooks),
                                                         KQ_NO_TABLE,
                                                         KQ_NO_FUNCTION,
                                                         KQ_NO_FUNCTION};
ObjectDefinition gTestControlDefinition(&kTestControlDeclaration);

Display *XDisplay() {
    return GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
}

RuntimeObject *gCaught = nullptr;

void FailUnhandled(RuntimeObject *exc) {
    ADD_FAILURE() << "unhandled " << kstr::Text(exc->classPtr->name);
}

void KeepCaught(RuntimeObject *exc) {
    RuntimeLockObject(exc);
    RuntimeUnlockObject(gCaught);
    gCaught = exc;
}

uint32_t RunBody(const std::function<void()> *body) {
    (*body)();
    return 0;
}

// Names and places a new control and installs logging handlers for the
// `handled` events.
RuntimeObject *Placed(RuntimeObject *control, const char *name, int left, int top, int width,
                      int height, std::initializer_list<const char *> handled) {
    kstr::StringRef text(kstr::FromC(name));
    stringSetter(control, offsetof(ControlObject, mName), text.Get());
    RuntimeControlMove(control, left, top, width, height);
    for (const char *event : handled)
        Handle(control, event, HandlerFor(event));
    return control;
}

} // namespace

void WindowTest::SetUp() {
    setenv("KQ_ERROR_REPORT", "ok", 1);
    FailOnUnhandledExceptions();
    EventLog().clear();
    gAnswers.clear();
    gActions.clear();
}

std::vector<std::string> &EventLog() {
    static std::vector<std::string> log;
    return log;
}

void Log(const std::string &line) {
    EventLog().push_back(line);
}

std::vector<std::string> LogLines(const std::string &prefix) {
    std::vector<std::string> lines;
    for (const std::string &line : EventLog())
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
    return lines;
}

void FailOnUnhandledExceptions() {
    exceptions::SetUnhandledExceptionHook(FailUnhandled);
}

void SetLayoutStream(const PropertyStream *stream) {
    gLayoutStream = stream;
}

void Answer(const std::string &event, bool value) {
    gAnswers[event] = value;
}

bool Answered(const std::string &event) {
    auto it = gAnswers.find(event);
    return it != gAnswers.end() && it->second;
}

void Handle(RuntimeObject *object, const char *event, void *code) {
    kstr::StringRef name(kstr::FromC(event));
    RuntimeInstallInstanceEventHandler(object, name.Get(), code);
}

void OnEvent(const std::string &event, const std::function<void(RuntimeObject *)> &action) {
    gActions[event] = action;
}

RuntimeClass *ImageWindowClass(const char *name, std::initializer_list<WindowEvent> handled,
                               ObjectDefinition *baseDefinition) {
    RuntimeClass *base =
        definitions::Convert(baseDefinition != nullptr ? baseDefinition : &WindowDefinition);
    RuntimeClass *cls = RuntimeNewClass(base, base->methodCount, base->interfaceCount,
                                        base->eventCount, base->memberCount, base->propertyCount);
    cls->name = kstr::FromC(name);
    cls->instanceSize = base->instanceSize;
    for (WindowEvent event : handled) {
        const RuntimeEventEntry &entry = base->events[uint32_t(event)];
        cls->events[uint32_t(event)].vector = HandlerFor(kstr::Text(entry.name));
    }
    return cls;
}

RuntimeObject *NewWindow(RuntimeClass *cls,
                         const std::function<void(RuntimeObject *window)> &addControls) {
    RuntimeObject *window = RuntimeNewObject(cls);
    if (addControls) addControls(window);
    WindowDefaultConstructor(window);
    return window;
}

RuntimeObject *ShownWindow(RuntimeClass *cls,
                           const std::function<void(RuntimeObject *window)> &addControls) {
    RuntimeObject *window = NewWindow(cls, addControls);
    RuntimeShowWindow(window);
    EXPECT_TRUE(WaitForWindow(ToplevelOf(window)));
    EXPECT_TRUE(Activate(window));
    EventLog().clear();
    return window;
}

void CloseWindow(RuntimeObject *window) {
    RuntimeCloseWindow(window);
    RuntimeUnlockObject(window);
}

RuntimeClass *TestControlClass() {
    return definitions::Convert(&gTestControlDefinition);
}

RuntimeObject *NewControl(const char *name, TestPaneKind kind, int left, int top, int width,
                          int height, std::initializer_list<const char *> handled) {
    RuntimeObject *control = RuntimeNewObject(TestControlClass());
    reinterpret_cast<TestControlObject *>(control)->kind = int32_t(kind);
    return Placed(control, name, left, top, width, height, handled);
}

uint32_t PixelAt(GtkWidget *widget, int x, int y) {
    GdkWindow *window = gtk_widget_get_window(widget);
    if (window == nullptr) return 0xFFFFFFFF;
    gdk_window_process_updates(window, TRUE);
    gdk_flush();
    GdkPixbuf *one = gdk_pixbuf_get_from_drawable(nullptr, window, nullptr, x, y, 0, 0, 1, 1);
    if (one == nullptr) return 0xFFFFFFFF;
    const guchar *p = gdk_pixbuf_get_pixels(one);
    uint32_t rgb = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    g_object_unref(one);
    return rgb;
}

RuntimeObject *NewRuntimeControl(ObjectDefinition *definition, const char *name, int left, int top,
                                 int width, int height,
                                 std::initializer_list<const char *> handled) {
    return Placed(definitions::Instantiate(definition), name, left, top, width, height, handled);
}

RuntimeObject *AddControl(RuntimeObject *window, RuntimeObject *control) {
    WindowAddControl(window, reinterpret_cast<ControlObject *>(control)->mName, control);
    RuntimeUnlockObject(control);
    return control;
}

void SetText(void (*setter)(RuntimeObject *, int32_t, KESTstring *), RuntimeObject *control,
             const char *text) {
    kstr::StringRef value(kstr::Make(text, uint32_t(strlen(text)), kEncodingUTF8));
    setter(control, 0, value.Get());
}

std::string EditText(RuntimeObject *field) {
    kstr::StringRef text(editTextGetter(field, 0));
    return kstr::Text(text.Get());
}

void SetEditText(RuntimeObject *field, const char *text) {
    SetText(editTextSetter, field, text);
}

GtkWidget *ToplevelOf(RuntimeObject *window) {
    RuntimeViewWindow *native = windows::NativeOf(window);
    return native != nullptr ? native->Toplevel() : nullptr;
}

GtkWidget *WidgetOf(RuntimeObject *control) {
    SubPane *pane = controls::PaneOf(control);
    return pane != nullptr ? pane->Widget() : nullptr;
}

void PropertyStream::Slot(uint16_t slot) {
    mBytes += char(slot >> 8);
    mBytes += char(slot & 0xFF);
}

PropertyStream &PropertyStream::Boolean(uint16_t slot, bool value) {
    Slot(slot);
    mBytes += char(value ? 1 : 0);
    return *this;
}

PropertyStream &PropertyStream::Integer(uint16_t slot, int32_t value) {
    Slot(slot);
    for (int shift = 24; shift >= 0; shift -= 8)
        mBytes += char(uint32_t(value) >> shift);
    return *this;
}

PropertyStream &PropertyStream::Color(uint16_t slot, uint32_t rgb) {
    Slot(slot);
    for (int shift = 16; shift >= 0; shift -= 8)
        mBytes += char(rgb >> shift);
    return *this;
}

PropertyStream &PropertyStream::Text(uint16_t slot, const std::string &text) {
    Slot(slot);
    for (int shift = 24; shift >= 0; shift -= 8)
        mBytes += char(uint32_t(text.size()) >> shift);
    mBytes += text;
    return *this;
}

void PropertyStream::ApplyTo(RuntimeObject *object) const {
    kstr::StringRef stream(kstr::Make(mBytes.data(), uint32_t(mBytes.size()), kEncodingUnknown));
    RuntimeMassPropertySetter(object, stream.Get());
}

RuntimeObject *Caught(const std::function<void()> &body) {
    exceptions::SetUnhandledExceptionHook(KeepCaught);
    gCaught = nullptr;
    uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(&body));
    RuntimeCallImageHandler(reinterpret_cast<void *>(&RunBody), 1, &argument);
    FailOnUnhandledExceptions();
    RuntimeObject *caught = gCaught;
    gCaught = nullptr;
    return caught;
}

std::string CaughtClass(const std::function<void()> &body) {
    RuntimeObject *caught = Caught(body);
    std::string name = ClassName(caught);
    RuntimeUnlockObject(caught);
    return name;
}

void Settle(const std::function<bool()> &done) {
    if (done) {
        XSync(XDisplay(), False);
        WaitUntil(done, 5000);
        return;
    }
    // Without a condition: what the server has sent by now is handled; the
    // short wait then gives what that starts (idle work, timeouts) its turn.
    HandlePending();
    gint64 until = g_get_monotonic_time() + 150 * 1000;
    WaitUntil([until] { return g_get_monotonic_time() >= until; }, 1000);
    HandlePending();
}

void HandlePending() {
    // After XSync the events the server made are in the client's queue, so
    // draining the main context handles them however slowly this process runs.
    XSync(XDisplay(), False);
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

void ClickAt(int rootX, int rootY, int button) {
    Display *display = XDisplay();
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display, unsigned(button), True, CurrentTime);
    XTestFakeButtonEvent(display, unsigned(button), False, CurrentTime);
    Settle();
}

void RootPosition(GtkWidget *widget, int *x, int *y, int dx, int dy) {
    GdkWindow *window = gtk_widget_get_window(widget);
    int originX = 0, originY = 0;
    gdk_window_get_origin(window, &originX, &originY);
    GtkAllocation box;
    gtk_widget_get_allocation(widget, &box);
    // A widget without a window of its own is placed in its parent's.
    if (!gtk_widget_get_has_window(widget)) originX += box.x, originY += box.y;
    *x = originX + (dx < 0 ? box.width / 2 : dx);
    *y = originY + (dy < 0 ? box.height / 2 : dy);
}

void ClickWidget(GtkWidget *widget, int button) {
    int x, y;
    RootPosition(widget, &x, &y);
    ClickAt(x, y, button);
}

void MovePointerTo(int rootX, int rootY) {
    XTestFakeMotionEvent(XDisplay(), -1, rootX, rootY, CurrentTime);
    Settle();
}

bool Activate(RuntimeObject *window) {
    GtkWidget *top = ToplevelOf(window);
    gtk_window_present(GTK_WINDOW(top));
    return WaitUntil([top] { return gtk_window_is_active(GTK_WINDOW(top)); }, 5000);
}

void PressWidget(GtkWidget *widget) {
    int x, y;
    RootPosition(widget, &x, &y);
    PressAt(x, y);
}

void PressAt(int rootX, int rootY) {
    Display *display = XDisplay();
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    Settle();
}

void ReleaseAt(int rootX, int rootY) {
    Display *display = XDisplay();
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    Settle();
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    Settle();
}

void PressKey(unsigned keysym, std::initializer_list<unsigned> modifiers) {
    Display *display = XDisplay();
    for (unsigned modifier : modifiers)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, modifier), True, CurrentTime);
    KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    for (unsigned modifier : modifiers)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, modifier), False, CurrentTime);
    Settle();
}

} // namespace kqtest
