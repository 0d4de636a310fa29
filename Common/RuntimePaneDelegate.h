// Routers: the delegates of control panes that turn a pane's callbacks into
// events of the control object. The router holds the control (not counted:
// the control owns its pane, which owns the router).
//
// ControlRouter<Delegate> implements the common PaneDelegate callbacks for
// any delegate interface derived from PaneDelegate; RuntimePaneDelegate is
// the router of PaneDelegate itself, and a control kind with a delegate of
// its own derives its router from ControlRouter of that interface:
//
//   class RuntimeButtonRouter : public ControlRouter<PushButtonDelegate> {
//     public:
//       RuntimeButtonRouter(RuntimeObject *control)
//           : ControlRouter(control, &kPushButtonEventSet) {}
//       void Action() override { ... }
//   };
//
// The common callbacks raise the RectControl events (MouseMove, MouseEnter,
// MouseExit, MouseWheel) and, where the control's class has them, the events
// named in its ControlEventSet: MouseDown, MouseDrag and MouseUp with the
// position relative to the control, GotFocus and LostFocus, KeyDown. A
// control without a handler for an event gets the default (false, nothing).
#pragma once

#include "Control.h"

// The events of a control class that the common callbacks raise besides the
// RectControl events; null where the class has no such event.
struct ControlEventSet {
    const EventEntry *mouseDown; // "X As Integer, Y As Integer" As Boolean
    const EventEntry *mouseDrag; // "X As Integer, Y As Integer"
    const EventEntry *mouseUp;   // "X As Integer, Y As Integer"
    const EventEntry *gotFocus;
    const EventEntry *lostFocus;
    const EventEntry *keyDown; // "Key As String" As Boolean
};

namespace routing {

// The common callbacks on a control object (`events` may be null).
bool MouseDown(RuntimeObject *control, const ControlEventSet *events, int x, int y);
void MouseDrag(RuntimeObject *control, const ControlEventSet *events, int x, int y);
void MouseUp(RuntimeObject *control, const ControlEventSet *events, int x, int y);
void MouseMove(RuntimeObject *control, int x, int y);
void MouseEnter(RuntimeObject *control);
void MouseExit(RuntimeObject *control);
bool MouseWheel(RuntimeObject *control, int x, int y, int deltaX, int deltaY);
void Focus(RuntimeObject *control, const ControlEventSet *events, bool gained);
bool KeyDown(RuntimeObject *control, const ControlEventSet *events, KESTstring *key);
bool ContextualMenu(RuntimeObject *control, int x, int y);
void RectChanged(RuntimeObject *control, const PaneRect &rect);

// The contextual menu of a control (the menu layer installs it): raises
// ConstructContextualMenu and shows the menu; true when one was shown.
using ContextualMenuHook = bool (*)(RuntimeObject *target, int x, int y);
void SetContextualMenuHook(ContextualMenuHook hook);
ContextualMenuHook ContextualMenuHandler();

} // namespace routing

template <typename Delegate>
class ControlRouter : public Delegate {
  public:
    explicit ControlRouter(RuntimeObject *control, const ControlEventSet *events = nullptr)
        : mControl(control), mEvents(events) {}

    RuntimeObject *Control() const { return mControl; }

    bool MouseDown(int x, int y) override { return routing::MouseDown(mControl, mEvents, x, y); }
    void MouseDrag(int x, int y) override { routing::MouseDrag(mControl, mEvents, x, y); }
    void MouseUp(int x, int y) override { routing::MouseUp(mControl, mEvents, x, y); }
    void MouseMove(int x, int y) override { routing::MouseMove(mControl, x, y); }
    void MouseEnter() override { routing::MouseEnter(mControl); }
    void MouseExit() override { routing::MouseExit(mControl); }
    bool MouseWheel(int x, int y, int deltaX, int deltaY) override {
        return routing::MouseWheel(mControl, x, y, deltaX, deltaY);
    }
    void GotFocus() override { routing::Focus(mControl, mEvents, true); }
    void LostFocus() override { routing::Focus(mControl, mEvents, false); }
    bool KeyDown(KESTstring *key) override { return routing::KeyDown(mControl, mEvents, key); }
    bool ContextualMenu(int x, int y) override { return routing::ContextualMenu(mControl, x, y); }
    uint8_t Locks() override { return controls::LocksOf(mControl); }
    void RectChanged(const PaneRect &rect) override { routing::RectChanged(mControl, rect); }

  protected:
    RuntimeObject *mControl;
    const ControlEventSet *mEvents;
};

using RuntimePaneDelegate = ControlRouter<PaneDelegate>;
