// Declaration rows that windows and visible controls share: the parameter
// lists of their redrawing methods and the events of the mouse, contextual
// menus and dragging, written once for both class definitions.
#pragma once

#include "ObjectDefinition.h"

// "eraseBackground As Boolean = True", alone or after a rectangle.
#define KQ_ERASE_PARAMETER KQ_OPTIONAL_PARAMETER("eraseBackground", &kTypeBoolean, "True")
#define KQ_RECT_PARAMETERS(left, top)                                                              \
    KQ_PARAMETER(left, &kTypeInteger), KQ_PARAMETER(top, &kTypeInteger),                           \
        KQ_PARAMETER("width", &kTypeInteger), KQ_PARAMETER("height", &kTypeInteger)

// Event rows in the X(Name, parameters, result type) form of KQ_EVENT_ROW.
#define KQ_MOUSE_MOVE_EVENTS(X)                                                                    \
    X(MouseMove, "X As Integer, Y As Integer", nullptr)                                            \
    X(MouseEnter, "", nullptr)                                                                     \
    X(MouseExit, "", nullptr)
#define KQ_DROP_OBJECT_EVENT(X) X(DropObject, "obj As DragItem, action As Integer", nullptr)
#define KQ_MENU_AND_DRAG_EVENTS(X)                                                                 \
    X(ConstructContextualMenu, "base as MenuItem, x as Integer, y as Integer", "Boolean")          \
    X(ContextualMenuAction, "hitItem as MenuItem", "Boolean")                                      \
    X(DragEnter, "obj As DragItem, action As Integer", "Boolean")                                  \
    X(DragExit, "obj As DragItem, action As Integer", nullptr)                                     \
    X(DragOver, "x As Integer, y As Integer, obj As DragItem, action As Integer", "Boolean")
