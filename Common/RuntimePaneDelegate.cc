// The common router callbacks (see RuntimePaneDelegate.h): a pane's mouse,
// focus and key callbacks become events of its control object.
#include "RuntimePaneDelegate.h"

namespace {

routing::ContextualMenuHook gContextualMenuHook = nullptr;

void RaisePosition(RuntimeObject *control, const EventItem *event, int x, int y) {
    if (event != nullptr) events::Raise(control, event, {uint32_t(x), uint32_t(y)});
}

const EventItem *ItemOf(const EventEntry *event) {
    return event != nullptr ? event->item : nullptr;
}

// A Boolean result is the low byte of eax.
bool Answer(uint64_t result) {
    return (result & 0xFF) != 0;
}

} // namespace

namespace routing {

bool MouseDown(RuntimeObject *control, const ControlEventSet *events, int x, int y) {
    if (events == nullptr || events->mouseDown == nullptr) return false;
    return Answer(events::Raise(control, events->mouseDown->item, {uint32_t(x), uint32_t(y)}));
}

void MouseDrag(RuntimeObject *control, const ControlEventSet *events, int x, int y) {
    if (events != nullptr) RaisePosition(control, ItemOf(events->mouseDrag), x, y);
}

void MouseUp(RuntimeObject *control, const ControlEventSet *events, int x, int y) {
    if (events != nullptr) RaisePosition(control, ItemOf(events->mouseUp), x, y);
}

void MouseMove(RuntimeObject *control, int x, int y) {
    RaisePosition(control, controls::Event(ControlEvent::MouseMove), x, y);
}

void MouseEnter(RuntimeObject *control) {
    events::Raise(control, controls::Event(ControlEvent::MouseEnter));
}

void MouseExit(RuntimeObject *control) {
    events::Raise(control, controls::Event(ControlEvent::MouseExit));
}

bool MouseWheel(RuntimeObject *control, int x, int y, int deltaX, int deltaY) {
    return Answer(events::Raise(control, controls::Event(ControlEvent::MouseWheel),
                                {uint32_t(x), uint32_t(y), uint32_t(deltaX), uint32_t(deltaY)}));
}

void Focus(RuntimeObject *control, const ControlEventSet *events, bool gained) {
    if (events == nullptr) return;
    const EventItem *event = ItemOf(gained ? events->gotFocus : events->lostFocus);
    if (event != nullptr) events::Raise(control, event);
}

bool KeyDown(RuntimeObject *control, const ControlEventSet *events, KESTstring *key) {
    if (events == nullptr || events->keyDown == nullptr) return false;
    return Answer(events::Raise(control, events->keyDown->item,
                                {uint32_t(reinterpret_cast<uintptr_t>(key))}));
}

bool ContextualMenu(RuntimeObject *control, int x, int y) {
    return gContextualMenuHook != nullptr && gContextualMenuHook(control, x, y);
}

void RectChanged(RuntimeObject *control, const PaneRect &rect) {
    controls::StorePaneRect(control, rect);
}

void SetContextualMenuHook(ContextualMenuHook hook) {
    gContextualMenuHook = hook;
}

ContextualMenuHook ContextualMenuHandler() {
    return gContextualMenuHook;
}

} // namespace routing
