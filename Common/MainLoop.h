// The main loop: RuntimeRun turns one iteration after another until the quit
// request flag is set. One iteration, in this order:
//   1. window housekeeping (the window layer's per-iteration update);
//   2. mouse-drag tracking for the control that took the mouse-down (an
//      iteration that tracks does not block);
//   3. it blocks only when no background task is in polled mode and the
//      blocking flag is set;
//   4. one gtk_main_iteration_do: events, timeouts (timers, background
//      tasks), idle work, the termination-signal watch;
//   5. the focused control's idle call;
//   6. every Pollable, the last added first;
//   7-8. (serial ports and sockets: none in this runtime);
//   9. the user-cancel mark is cleared;
//   10. due background tasks in polled mode;
//   11. (the thread layer gives threads their turns through its task);
//   12. auto quit when no window is left.
// Modal loops and DoEvents run nested iterations of the same loop.
//
// The window layer plugs into the steps through WindowLayerHooks; without
// it the window list stays empty and those steps do nothing.
#pragma once

#include "RuntimeObject.h"

#include <cstdint>

class NativeWindow;

enum class QuitCloseResult {
    Closed,         // the window closed
    Refused,        // its CancelClose (or a window it embeds) said no
    NoWindowObject, // a runtime window without its object
    NotRuntime,     // a native window of another kind: passed over
};

struct WindowLayerHooks {
    void (*housekeeping)() = nullptr;
    // Delivers the mouse drag to the tracking control; true when it did
    // (the button is down and a control tracks it).
    bool (*trackMouse)() = nullptr;
    void (*focusedIdle)() = nullptr;
    // The window's close operation (as the close box asks).
    void (*close)(NativeWindow *window) = nullptr;
    // Closes the window as a close caused by quitting.
    QuitCloseResult (*closeForQuit)(NativeWindow *window) = nullptr;
    // The window object of a native window (no reference added), or null.
    RuntimeObject *(*windowObject)(NativeWindow *window) = nullptr;
    // Sets the control layer's mark that a mouse-down handler is running
    // and returns the previous value.
    bool (*exchangeMouseDownMark)(bool value) = nullptr;
};

namespace mainloop {

void SetWindowLayerHooks(const WindowLayerHooks &hooks);
const WindowLayerHooks &Hooks();

bool QuitRequested();
void SetQuitRequested(bool value);

// One nested iteration with the given blocking value (modal loops,
// DoEvents); on a cooperative thread it yields instead.
void NestedIteration(bool block);

// While there is a front window, asks it to close; stops when the front
// window stays the same.
void CloseAllWindows();

} // namespace mainloop

extern "C" {
void RuntimeRun(void);
void RuntimeDoEvents(RuntimeObject *app, int32_t milliseconds);
void ApplicationDoSingleEvent(RuntimeObject *app, bool block);
void RuntimeBackgroundTask(void);
bool getUserCancelled(void);
int32_t getWindowCount(void);
RuntimeObject *getWindow(int32_t index);
}
