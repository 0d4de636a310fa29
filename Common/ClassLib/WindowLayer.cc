// The window layer's part in the main loop: the drags of the control that
// took the mouse-down, the focused control's idle call, closing windows for
// the close box and for quitting, and the mark of a running mouse-down
// handler.
#include "MainLoop.h"
#include "RuntimeViewWindow.h"
#include "WindowObject.h"

namespace {

// Reports the pointer to the tracking control as a drag while the first
// button is down. The window itself, when it tracks, gets its drags from
// the pointer motion.
bool TrackMouse() {
    Pane *tracking = panes::TrackingPane();
    NativeWindow *window = tracking != nullptr ? tracking->Window() : nullptr;
    if (window == nullptr || tracking == window || window->IsClosing()) return false;
    GdkWindow *gdkWindow = gtk_widget_get_window(window->Toplevel());
    if (gdkWindow == nullptr) return false;
    int x, y;
    GdkModifierType mask;
    gdk_window_get_pointer(gdkWindow, &x, &y, &mask);
    if (!(mask & GDK_BUTTON1_MASK)) return false;
    NativeWindow::EventBracket bracket(window);
    tracking->HandleMouseDrag(x, y - window->ContentOffset());
    return true;
}

void FocusedIdle() {
    if (Pane *focus = panes::FocusedPane()) focus->Idle();
}

void CloseWindow(NativeWindow *window) {
    if (RuntimeViewWindow *runtime = RuntimeViewWindow::From(window))
        windows::Close(runtime->Object(), false);
}

QuitCloseResult CloseForQuit(NativeWindow *window) {
    RuntimeViewWindow *runtime = RuntimeViewWindow::From(window);
    if (runtime == nullptr) return QuitCloseResult::NotRuntime;
    if (runtime->Object() == nullptr) return QuitCloseResult::NoWindowObject;
    return windows::Close(runtime->Object(), true) ? QuitCloseResult::Refused
                                                   : QuitCloseResult::Closed;
}

RuntimeObject *WindowObjectOf(NativeWindow *window) {
    RuntimeViewWindow *runtime = RuntimeViewWindow::From(window);
    return runtime != nullptr ? &runtime->Object()->header : nullptr;
}

} // namespace

namespace windows {

void InstallMainLoopHooks() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    WindowLayerHooks hooks;
    hooks.trackMouse = TrackMouse;
    hooks.focusedIdle = FocusedIdle;
    hooks.close = CloseWindow;
    hooks.closeForQuit = CloseForQuit;
    hooks.windowObject = WindowObjectOf;
    hooks.exchangeMouseDownMark = panes::ExchangeMouseDownMark;
    mainloop::SetWindowLayerHooks(hooks);
}

} // namespace windows
