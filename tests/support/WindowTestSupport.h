// Windows and controls built in C++ the way an application image builds
// them: window classes made with RuntimeNewClass on top of `Window` with
// handlers in their event tables, a test control class declared like the
// runtime's own controls (a RectControl whose CreatePane makes a button,
// label, entry, text view or frame pane), handlers installed per object with
// RuntimeInstallInstanceEventHandler, design-time property streams, and
// real input through XTEST. Every handler writes a line to the event log.
#pragma once

#include "Control.h"
#include "RuntimeObject.h"
#include "WindowObject.h"

#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace kqtest {

// The fixture of window tests: reports answered OK on standard error, an
// exception that nothing catches fails the test, an empty event log.
class WindowTest : public testing::Test {
  protected:
    void SetUp() override;
};

// The lines the handlers wrote, in order, and helpers to read them.
std::vector<std::string> &EventLog();
void Log(const std::string &line);
// The log lines that start with `prefix`, in order.
std::vector<std::string> LogLines(const std::string &prefix);

// What handlers answer where the event has a Boolean result: set per event
// name ("Window.CancelClose", "Button.MouseDown" for a control named Button);
// false when not set.
void Answer(const std::string &event, bool value);
bool Answered(const std::string &event);
// Something a handler does after it logged the event ("Feld.TextChange"):
// runs inside the handler, with the object.
void OnEvent(const std::string &event, const std::function<void(RuntimeObject *)> &action);

// A window class of the "image": a subclass of Window named `name` whose
// event table carries logging handlers for the given events (handlers of
// Boolean events answer through Answer()). Its Layout handler, when asked
// for, also applies the layout stream, as the image's #Layout does.
// `base` may be another runtime window class (ContainerControl).
RuntimeClass *ImageWindowClass(const char *name, std::initializer_list<WindowEvent> handled,
                               ObjectDefinition *base = nullptr);
class PropertyStream;
void SetLayoutStream(const PropertyStream *stream);

// A new window of the class (RuntimeNewObject: construction opens it), its
// controls added and its constructor run as the image's generated code
// does: `addControls` is called between the two. Owned by the caller.
RuntimeObject *NewWindow(RuntimeClass *cls,
                         const std::function<void(RuntimeObject *window)> &addControls = {});

// A new window of the class with its controls (as NewWindow), shown and
// active, with an empty event log; CloseWindow closes it and drops the
// caller's reference.
RuntimeObject *ShownWindow(RuntimeClass *cls,
                           const std::function<void(RuntimeObject *window)> &addControls);
void CloseWindow(RuntimeObject *window);

// The kinds of pane the test control makes.
enum class TestPaneKind : int32_t { Button, Label, Entry, TextView, Frame };

// A new test control with Name, kind and rectangle; `handled` names the
// events it gets logging handlers for ("MouseDown", "GotFocus", ...).
RuntimeObject *NewControl(const char *name, TestPaneKind kind, int left, int top, int width,
                          int height, std::initializer_list<const char *> handled = {});

// Installs `code` as the handler of the event named `event` of this object
// only, as the image's generated code does.
void Handle(RuntimeObject *object, const char *event, void *code);

// A new control of one of the runtime's control classes (PushButton,
// EditField, ...) with Name and rectangle and logging handlers for the
// `handled` events, as the image's generated code makes one.
RuntimeObject *NewRuntimeControl(ObjectDefinition *definition, const char *name, int left, int top,
                                 int width, int height,
                                 std::initializer_list<const char *> handled = {});

// Adds the control to the window (_AddControl) and drops the caller's
// reference; returns the control.
RuntimeObject *AddControl(RuntimeObject *window, RuntimeObject *control);

// Calls a string property setter of the control with UTF-8 text.
void SetText(void (*setter)(RuntimeObject *, int32_t, KESTstring *), RuntimeObject *control,
             const char *text);
// An edit field's Text, and setting it.
std::string EditText(RuntimeObject *field);
void SetEditText(RuntimeObject *field, const char *text);

// The class of the test control and its Default/Cancel property slots.
RuntimeClass *TestControlClass();

// The colour (0x00RRGGBB) of pixel (x, y) of a widget's own window as the
// display shows it, after pending redraws; 0xFFFFFFFF when it cannot be read.
uint32_t PixelAt(GtkWidget *widget, int x, int y);

// The native parts of an open window.
GtkWidget *ToplevelOf(RuntimeObject *window);
GtkWidget *WidgetOf(RuntimeObject *control);

// A design-time property stream, entry by entry (big-endian).
class PropertyStream {
  public:
    PropertyStream &Boolean(uint16_t slot, bool value);
    PropertyStream &Integer(uint16_t slot, int32_t value);
    PropertyStream &Color(uint16_t slot, uint32_t rgb);
    PropertyStream &Text(uint16_t slot, const std::string &text);
    // Applies the stream to the object (RuntimeMassPropertySetter).
    void ApplyTo(RuntimeObject *object) const;

  private:
    void Slot(uint16_t slot);
    std::string mBytes;
};

// The exception that escaped `body`, run as image code is run
// (RuntimeCallImageHandler); a reference the caller owns, or null. Any
// other exception that nothing catches fails the test.
RuntimeObject *Caught(const std::function<void()> &body);
// The class name of the exception that escaped `body` ("" for none).
std::string CaughtClass(const std::function<void()> &body);
void FailOnUnhandledExceptions();

// Real input through XTEST, then the GTK+ events are handled until `done`
// holds (or a short while passes when no condition is given).
void ClickAt(int rootX, int rootY, int button = 1);
void ClickWidget(GtkWidget *widget, int button = 1);
void PressWidget(GtkWidget *widget); // button 1 down only
void PressAt(int rootX, int rootY);
void ReleaseAt(int rootX, int rootY); // button 1 up
void PressKey(unsigned keysym, std::initializer_list<unsigned> modifiers = {});
void MovePointerTo(int rootX, int rootY);
// The root position of a point of a widget (its centre by default).
void RootPosition(GtkWidget *widget, int *x, int *y, int dx = -1, int dy = -1);
// Gives the window the keyboard focus and waits until GTK+ knows it.
bool Activate(RuntimeObject *window);
void Settle(const std::function<bool()> &done = {});
// Handles what the X server has sent by now, without waiting for what that
// starts (idle work, timeouts).
void HandlePending();

} // namespace kqtest
