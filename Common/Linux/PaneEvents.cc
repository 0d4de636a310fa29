// The common mouse and focus handlers that every control pane connects, and
// the process-wide records they keep: the focused pane, the mouse-tracking
// pane, the time of the last press handled and the mark that a mouse-down
// handler is running.
#include "KeyState.h"
#include "NativeWindow.h"
#include "Pane.h"

namespace {

Pane *gFocused = nullptr;
Pane *gTracking = nullptr;
bool gMouseDownMark = false;
uint32_t gLastPressTime = 0;
bool gAnyPress = false;

gboolean OnButtonPress(GtkWidget *, GdkEventButton *event, gpointer data) {
    auto *pane = static_cast<Pane *>(data);
    NativeWindow *window = pane->Window();
    if (window == nullptr || panes::MouseDownMark() || panes::IsRepeatedPress(event->time))
        return FALSE;
    uint16_t modifiers = keystate::ModifierWordOf(event->state);
    keystate::SetModifierWord(modifiers);
    panes::NotePress(event->time);
    int x, y;
    window->PointerPosition(&x, &y);

    NativeWindow::EventBracket bracket(window);
    bool mark = panes::ExchangeMouseDownMark(true);
    if (NativeWindow::IsContextualClick(event) && window->ContextualClick(pane, x, y)) {
        panes::ExchangeMouseDownMark(mark);
        return TRUE;
    }
    PressResult result = event->type == GDK_2BUTTON_PRESS ? pane->HandleDoubleClick(x, y, modifiers)
                                                          : pane->HandleMouseDown(x, y, modifiers);
    panes::ExchangeMouseDownMark(mark);
    return result == PressResult::Handled;
}

gboolean OnButtonRelease(GtkWidget *, GdkEventButton *, gpointer data) {
    auto *pane = static_cast<Pane *>(data);
    NativeWindow *window = pane->Window();
    if (panes::TrackingPane() != pane || window == nullptr) return FALSE;
    panes::SetTrackingPane(nullptr);
    int x, y;
    window->PointerPosition(&x, &y);
    NativeWindow::EventBracket bracket(window);
    pane->HandleMouseUp(x, y);
    return FALSE;
}

void OnGrabFocus(GtkWidget *widget, gpointer data) {
    if (gtk_widget_get_can_focus(widget)) panes::SetFocusedPane(static_cast<Pane *>(data));
}

} // namespace

void Pane::ConnectCommonHandlers(GtkWidget *widget) {
    if (widget == nullptr) return;
    gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
    g_signal_connect(widget, "button-press-event", G_CALLBACK(OnButtonPress), this);
    g_signal_connect(widget, "button-release-event", G_CALLBACK(OnButtonRelease), this);
    g_signal_connect(widget, "grab-focus", G_CALLBACK(OnGrabFocus), this);
}

namespace panes {

Pane *FocusedPane() {
    return gFocused;
}

void SetFocusedPane(Pane *pane) {
    if (pane == gFocused) return;
    Pane *old = gFocused;
    gFocused = pane;
    if (old != nullptr) {
        NativeWindow::EventBracket bracket(old->Window());
        old->FocusChanged(false);
    }
    // The lost-focus handler may have moved the focus again.
    if (pane == nullptr || gFocused != pane) return;
    NativeWindow *window = pane->Window();
    NativeWindow::EventBracket bracket(window);
    if (window != nullptr) window->FocusMovedTo(pane);
    pane->FocusChanged(true);
}

Pane *TrackingPane() {
    return gTracking;
}

void SetTrackingPane(Pane *pane) {
    gTracking = pane;
}

bool ExchangeMouseDownMark(bool value) {
    bool old = gMouseDownMark;
    gMouseDownMark = value;
    return old;
}

bool MouseDownMark() {
    return gMouseDownMark;
}

bool IsRepeatedPress(uint32_t time) {
    return gAnyPress && time == gLastPressTime;
}

void NotePress(uint32_t time) {
    gLastPressTime = time;
    gAnyPress = true;
}

void Forget(Pane *pane) {
    if (gFocused == pane) gFocused = nullptr;
    if (gTracking == pane) gTracking = nullptr;
}

} // namespace panes
