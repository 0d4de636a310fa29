// MouseCursor objects: shapes for the mouse pointer (see MouseCursor.cc).
// The window layer applies them; the application only stores its own.
#pragma once

#include "RuntimeObject.h"

#include <cstddef>

typedef struct _GdkCursor GdkCursor;

struct MouseCursorObject {
    RuntimeObject header;
    GdkCursor *cursor; // one GDK reference, shared with copies; may be null
};
static_assert(offsetof(MouseCursorObject, cursor) == 24, "MouseCursor.cursor");

// A new object sharing `cursor` (its own GDK reference is added).
RuntimeObject *NewMouseCursor(GdkCursor *cursor);
// The cursor an object holds (no reference added), null for none.
GdkCursor *MouseCursorOf(RuntimeObject *object);

extern "C" {
void mouseCursorDestructor(RuntimeObject *cursor);
RuntimeObject *getArrowCursor(void);
RuntimeObject *getWatchCursor(void);
RuntimeObject *getIBeamCursor(void);
}
