// Contextual menus of windows and controls. A right-click (or Shift+F10)
// asks the window or control under it: ConstructContextualMenu gets an
// empty base item to fill with MenuItem objects and the position relative
// to the target; when it answers True and the base has items, they pop up
// where the target was clicked (Shift+F10: at its top-left corner), and the
// item chosen goes to ContextualMenuAction. An item that event does not
// handle gets its own Action event. Nothing chosen, nothing raised.
//
// IsContextualClick tells a handler whether the event being handled is
// such a click (a press of the third mouse button).
#include "ContextualMenu.h"

#include "Control.h"
#include "MenuItem.h"
#include "RuntimeViewWindow.h"

namespace {

struct ContextualEvents {
    const EventItem *construct;
    const EventItem *action;
};

// The events of the target, and the point (x, y relative to it) in its
// native window's content; false when the target is no open window or
// control.
bool TargetOf(RuntimeObject *target, int x, int y, ContextualEvents *events, NativeWindow **native,
              int *wx, int *wy) {
    if (windows::IsWindow(target)) {
        events->construct = windows::Event(WindowEvent::ConstructContextualMenu);
        events->action = windows::Event(WindowEvent::ContextualMenuAction);
        *native = windows::NativeOf(target);
        *wx = x;
        *wy = y;
    } else if (controls::IsRectControl(target)) {
        events->construct = controls::Event(ControlEvent::ConstructContextualMenu);
        events->action = controls::Event(ControlEvent::ContextualMenuAction);
        SubPane *pane = controls::PaneOf(target);
        *native = pane != nullptr ? pane->Window() : nullptr;
        if (pane != nullptr) {
            *wx = pane->Rect().left + x;
            *wy = pane->Rect().top + y;
        }
    } else {
        return false;
    }
    return *native != nullptr;
}

bool Answer(uint64_t result) {
    return (result & 0xFF) != 0;
}

uint32_t Argument(RuntimeObject *object) {
    return uint32_t(reinterpret_cast<uintptr_t>(object));
}

} // namespace

namespace menus {

bool ShowContextualMenu(RuntimeObject *target, int x, int y) {
    ContextualEvents events{};
    NativeWindow *native = nullptr;
    int wx = 0, wy = 0;
    if (!TargetOf(target, x, y, &events, &native, &wx, &wy) ||
        events::Handler(target, events.construct) == nullptr)
        return false;
    Ref<> keep(target);
    Ref<> base = Ref<>::Adopt(definitions::Instantiate(&MenuItemDefinition));
    bool wanted = Answer(
        events::Raise(target, events.construct, {Argument(base.get()), uint32_t(x), uint32_t(y)}));
    // The handler may have closed the window.
    if (!wanted || RuntimeMenuItemCount(base.get()) == 0 ||
        !TargetOf(target, x, y, &events, &native, &wx, &wy))
        return false;
    int rootX = 0, rootY = 0;
    GdkWindow *window = gtk_widget_get_window(native->Toplevel());
    if (window != nullptr) gdk_window_get_origin(window, &rootX, &rootY);
    Ref<> chosen = Ref<>::Adopt(
        RuntimeMenuItemPopUp(base.get(), rootX + wx, rootY + wy + native->ContentOffset()));
    if (chosen && !Answer(events::Raise(target, events.action, {Argument(chosen.get())})))
        events::Raise(chosen.get(), Event(MenuItemEvent::Action));
    return true;
}

} // namespace menus

extern "C" {

bool IsCMMClick(void) {
    GdkEvent *event = gtk_get_current_event();
    if (event == nullptr) return false;
    bool contextual = event->type == GDK_BUTTON_PRESS && event->button.button == 3;
    gdk_event_free(event);
    return contextual;
}

} // extern "C"
