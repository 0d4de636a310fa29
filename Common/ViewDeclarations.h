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

#define KQ_MOUSE_MOVE_EVENT_ROWS                                                                   \
    KQ_EVENT("MouseMove", "X As Integer, Y As Integer", nullptr),                                  \
        KQ_EVENT("MouseEnter", "", nullptr), KQ_EVENT("MouseExit", "", nullptr)
#define KQ_DROP_OBJECT_EVENT_ROW                                                                   \
    KQ_EVENT("DropObject", "obj As DragItem, action As Integer", nullptr)
#define KQ_MENU_AND_DRAG_EVENT_ROWS                                                                \
    KQ_EVENT("ConstructContextualMenu", "base as MenuItem, x as Integer, y as Integer",            \
             "Boolean"),                                                                           \
        KQ_EVENT("ContextualMenuAction", "hitItem as MenuItem", "Boolean"),                        \
        KQ_EVENT("DragEnter", "obj As DragItem, action As Integer", "Boolean"),                    \
        KQ_EVENT("DragExit", "obj As DragItem, action As Integer", nullptr),                       \
        KQ_EVENT("DragOver", "x As Integer, y As Integer, obj As DragItem, action As Integer",     \
                 "Boolean")
