// Container controls: window-like classes (`ContainerControl`, a subclass
// of `Window`) whose controls stand inside another window. A container has
// no native window; at construction it makes an `EmbeddedWindowControl`, the
// control that represents it among the controls of the window it is added
// to. The two are linked both ways: the container holds the embedding
// control (counted), the control names its container (`templateWindow`, not
// counted). The embedding control's pane (EmbeddingPane) is the container's
// content pane, so the container's own controls are made inside it.
//
// The container's controls keep their rectangles in the container's
// coordinates; their panes stand at those rectangles moved by the
// container's place in the window (controls::OriginOf).
//
// A container holds a reference to itself from construction until it is
// closed, as an open window is held by its native window.
#pragma once

#include "Control.h"
#include "WindowObject.h"

#include <vector>

// The container's Name, Index and lock flags are its own fields; the
// embedding control's router reads the locks from here.
struct ContainerObject {
    WindowObject window;
    RuntimeObject *embedding; // the EmbeddedWindowControl, counted
    KESTstring *name;         // Name
    int32_t index;            // Index (control arrays)
    uint8_t locks[4];         // LockLeft, LockTop, LockRight, LockBottom
    uint8_t holdsItself;      // its reference to itself, until it closes
};
static_assert(offsetof(ContainerObject, embedding) == kWindowInstanceSize, "Container.embedding");

struct EmbeddedWindowControlObject {
    RectControlObject control;
    RuntimeObject *templateWindow; // the container, not counted
};
static_assert(offsetof(EmbeddedWindowControlObject, templateWindow) == kRectControlInstanceSize,
              "EmbeddedWindowControl.templateWindow");

namespace containers {

// The container record of an object, or null for anything else.
ContainerObject *AsContainer(RuntimeObject *object);
// The container an EmbeddedWindowControl stands for, or null.
WindowObject *TemplateOf(RuntimeObject *control);

// Construction: the embedding control is made and linked, and the
// container takes its reference to itself.
void Attach(WindowObject *container);

// The control that represents a member of a window's control list: the
// member itself, or a container's embedding control.
RuntimeObject *MemberControl(RuntimeObject *member);

// The window and, depth first, every container embedded in it and in them.
std::vector<WindowObject *> ViewTree(WindowObject *window);

// The pane of the embedding control (the container's content), or null
// when the container is not in an open window.
ContainerPane *PaneOf(WindowObject *container);

// Closing a container on its own: removes it from the window that holds it
// and releases its controls and its embedding control once the event
// dispatch in progress has returned.
void Close(WindowObject *container);

// The container leaves a window that is going away: its controls are
// released, its pane destroyed and its reference to itself dropped.
void Dismantle(WindowObject *container);

} // namespace containers
