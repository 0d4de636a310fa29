// The control base: the records of `Control` and `RectControl`, their events
// and the operations that every concrete control class builds on.
//
// Control (every control of a window, visible or not), instance size 52:
//
//   offset  field          property                 notes
//   24      mImp           __kqf_mImp               the pane (SubPane), or null
//   28      mIndex         Index, __kqf_mIndex      control-array index
//   32      mInitialParent __kqf_mInitialParent     name of the enclosing control
//   36      mName          Name, __kqf_mName
//   40      mPanelIndex    PanelIndex, __kqf_mPanelIndex
//   44      mWindow        Window, __kqf_mWindow    the holding window, not counted
//   48      mTabPanelIndex TabPanelIndex
//
// RectControl (every visible control), instance size 88; a concrete class
// places its own fields from kRectControlInstanceSize on:
//
//   52      helpTag, 56 balloonHelp, 60 disabledBalloonHelp   tool-tip texts
//   64      mouseCursor    MouseCursor object or null
//   68      parent         the enclosing RectControl (counted), or null
//   72      rect           top, left, bottom, right (signed 16-bit), window
//                          coordinates
//   80      visible, 81 enabled, 82 autoDeactivate
//   83      lockLeft, 84 lockTop, 85 lockRight, 86 lockBottom
//
// Property slots: Control 0-13 (0 Name, 1 Index, 2 TabPanelIndex,
// 3 PanelIndex, 4 MouseX, 5 MouseY, 6 Window, 7 Handle, 8-13 the __kqf_
// fields), RectControl 14-31 (14 HelpTag, 15 BalloonHelp,
// 16 DisabledBalloonHelp, 17 MouseCursor, 18 Visible, 19 Left, 20 Top,
// 21 Width, 22 Height, 23 Enabled, 24 Active, 25 AutoDeactivate,
// 26-29 LockLeft, LockTop, LockRight, LockBottom, 30 Parent,
// 31 InitialParent); a concrete class's own slots start at 32.
//
// Events: Control 0 CreatePane, 1 Open, 2 Close; RectControl 3 MouseMove,
// 4 MouseEnter, 5 MouseExit, 6 DropObject, 7 MouseWheel,
// 8 ConstructContextualMenu, 9 ContextualMenuAction, 10 DragEnter,
// 11 DragExit, 12 DragOver; a concrete class's own events start at 13.
//
// A concrete control class (PushButton, EditField, ...) is declared with
// RectControlDefinition as its super, and handles `CreatePane` with a hook
// (KQ_HOOK("CreatePane", PushButtonCreatePane)). Its CreatePane receives the
// control object and, for example:
//
//   auto *pane = new PushButtonGTK(controls::ParentPaneFor(control));
//   pane->SetDelegate(new RuntimeButtonRouter(control));   // RuntimePaneDelegate.h
//   controls::AttachPane(control, pane);  // places the widget, applies the
//                                         // stored Control/RectControl values
//   ...then applies its own stored values (caption, font) to the widget.
//
// The window calls controls::CreatePane for each control when it opens (or
// at once for a control added to an open window) and DestroyPane when its
// native window goes. Property setters of a concrete class store the value
// and, when controls::PaneOf(control) is not null, pass it to the pane.
#pragma once

#include "ObjectDefinition.h"
#include "Pane.h"
#include "ViewDeclarations.h"

#include <cstddef>
#include <cstdint>

#define KQ_RUNCTL_SOURCE "Common/runctl"

struct ControlObject {
    RuntimeObject header;
    SubPane *mImp;
    int32_t mIndex;
    KESTstring *mInitialParent;
    KESTstring *mName;
    int32_t mPanelIndex;
    RuntimeObject *mWindow;
    int32_t mTabPanelIndex;
};
static_assert(offsetof(ControlObject, mImp) == 24, "Control.mImp");
static_assert(offsetof(ControlObject, mIndex) == 28, "Control.mIndex");
static_assert(offsetof(ControlObject, mInitialParent) == 32, "Control.mInitialParent");
static_assert(offsetof(ControlObject, mName) == 36, "Control.mName");
static_assert(offsetof(ControlObject, mPanelIndex) == 40, "Control.mPanelIndex");
static_assert(offsetof(ControlObject, mWindow) == 44, "Control.mWindow");
static_assert(offsetof(ControlObject, mTabPanelIndex) == 48, "Control.mTabPanelIndex");
static_assert(sizeof(ControlObject) == 52, "Control instance size");
constexpr uint32_t kControlInstanceSize = sizeof(ControlObject);

struct RectControlObject {
    ControlObject control;
    KESTstring *helpTag;
    KESTstring *balloonHelp;
    KESTstring *disabledBalloonHelp;
    RuntimeObject *mouseCursor;
    RuntimeObject *parent;
    PaneRect rect;
    uint8_t visible;
    uint8_t enabled;
    uint8_t autoDeactivate;
    uint8_t locks[4]; // left, top, right, bottom
};
static_assert(offsetof(RectControlObject, helpTag) == 52, "RectControl.helpTag");
static_assert(offsetof(RectControlObject, balloonHelp) == 56, "RectControl.balloonHelp");
static_assert(offsetof(RectControlObject, disabledBalloonHelp) == 60,
              "RectControl.disabledBalloonHelp");
static_assert(offsetof(RectControlObject, mouseCursor) == 64, "RectControl.mouseCursor");
static_assert(offsetof(RectControlObject, parent) == 68, "RectControl.parent");
static_assert(offsetof(RectControlObject, rect) == 72, "RectControl.rect");
static_assert(offsetof(RectControlObject, visible) == 80, "RectControl.visible");
static_assert(offsetof(RectControlObject, enabled) == 81, "RectControl.enabled");
static_assert(offsetof(RectControlObject, autoDeactivate) == 82, "RectControl.autoDeactivate");
static_assert(offsetof(RectControlObject, locks) == 83, "RectControl.locks");
constexpr uint32_t kRectControlInstanceSize = 88;
static_assert(sizeof(RectControlObject) <= kRectControlInstanceSize, "RectControl fields fit");

// The events of Control, then those RectControl adds, in slot order.
#define KQ_CONTROL_EVENTS(X)                                                                       \
    X(CreatePane, "", nullptr)                                                                     \
    X(Open, "", nullptr)                                                                           \
    X(Close, "", nullptr)
#define KQ_RECT_CONTROL_EVENTS(X)                                                                  \
    KQ_MOUSE_MOVE_EVENTS(X)                                                                        \
    KQ_DROP_OBJECT_EVENT(X)                                                                        \
    X(MouseWheel, "X As Integer, Y As Integer, deltaX as Integer, deltaY as Integer", "Boolean")   \
    KQ_MENU_AND_DRAG_EVENTS(X)

// The events of Control and RectControl by their index.
enum class ControlEvent : uint32_t {
    KQ_CONTROL_EVENTS(KQ_EVENT_SLOT) KQ_RECT_CONTROL_EVENTS(KQ_EVENT_SLOT)
};

namespace controls {

// The item of an event of Control or RectControl, for events::Raise.
const EventItem *Event(ControlEvent event);

// Class tests (false for null).
bool IsControl(RuntimeObject *object);
bool IsRectControl(RuntimeObject *object);

// The control's pane, or null (also for an object that is no control).
SubPane *PaneOf(RuntimeObject *control);
// The window object holding the control (no reference added), or null.
RuntimeObject *WindowOf(RuntimeObject *control);
// Records the window that holds the control (null when it leaves it).
void SetWindow(RuntimeObject *control, RuntimeObject *window);

// The pane in which the control's pane is made: the pane of its Parent, or
// of the control its InitialParent names, when that pane is a container;
// otherwise the window's content (the native window). Null when the window
// is not open.
ContainerPane *ParentPaneFor(RuntimeObject *control);

// Makes the pane the control's own: stores it, gives it the control's
// rectangle, places its widget in the window and applies the stored
// RectControl values (visible, enabled, help text, cursor).
void AttachPane(RuntimeObject *control, SubPane *pane);

// Raises the control's CreatePane (the concrete class makes its pane);
// nothing when it has a pane already or its window is not open.
void CreatePane(RuntimeObject *control);

// Destroys the control's pane (it loses the focus first); the control keeps
// its stored values.
void DestroyPane(RuntimeObject *control);

// The stored rectangle of a RectControl and its lock flags (PaneLocks).
PaneRect RectOf(RuntimeObject *control);
uint8_t LocksOf(RuntimeObject *control);
// Stores a new rectangle and moves the pane when there is one.
void SetRect(RuntimeObject *control, const PaneRect &rect);
// Where the control's coordinates start in its native window: (0, 0), or
// for a control of a container the container's place in the window. Pane
// rectangles are the stored ones moved by it.
void OriginOf(RuntimeObject *control, int *dx, int *dy);
// Stores the rectangle a pane was given by re-layout (window coordinates).
void StorePaneRect(RuntimeObject *control, const PaneRect &paneRect);

// The enclosing control: the Parent, else the control of the window that the
// InitialParent names; null when there is none (no reference added).
RuntimeObject *ParentOf(RuntimeObject *control);
// Moves an existing pane under the parent pane its Parent now decides.
void Reparent(RuntimeObject *control);
// Gives the pane the tool tip of the control's state: HelpTag (or
// BalloonHelp) while enabled, DisabledBalloonHelp while disabled.
void RefreshToolTip(RuntimeObject *control);

} // namespace controls
