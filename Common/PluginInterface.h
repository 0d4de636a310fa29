/* The plug-in interface: what a native plug-in library sees of the runtime.
   A plug-in's KESTPluginMain receives the runtime's lookup function and asks
   it for the entry points it calls by name (the names of the runtime's
   export table), for example:

     typedef void (*RegisterControl)(KQPluginControl *control);
     ((RegisterControl)lookup("PluginRegisterControl"))(&kMyControl);

   A control registered this way becomes a class of the runtime, a subclass
   of RectControl with the control's events after the RectControl events;
   its pane is the runtime's custom control pane, which calls the control's
   behaviour callbacks. Every callback receives the control object; the
   plug-in's instance data (dataSize bytes, zeroed at creation) lies at
   dataOffset bytes from the object's start; PluginRegisterControl fills
   in dataOffset and raiseEvent. Coordinates given to the mouse callbacks are window
   coordinates; the Redraw callback receives a Graphics object whose
   origin is the control's top-left corner.

   The plug-in draws through the runtime's Graphics entry points
   ("RuntimeGraphicsFillRect", "graphicsForeColorSetter", ...) and queries
   its control with "PluginGetControlBounds", "KESTGetControlEnabled",
   "KESTInvalidateControl"; it raises the events it declared through the
   description's raiseEvent and reads the tick clock with "RuntimeTicks".

   Plain C, so that plug-ins written in C can use it. */
#ifndef KQ_PLUGIN_INTERFACE_H
#define KQ_PLUGIN_INTERFACE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct RuntimeObject KQControl;
typedef struct RuntimeObject KQGraphics;

/* The rectangle of a control in window coordinates; right and bottom are
   exclusive. */
typedef struct KQPluginRect {
    int32_t left, top, right, bottom;
} KQPluginRect;

/* One event of a control: its name, parameter declaration ("" for none)
   and result type name (null for none). */
typedef struct KQPluginEvent {
    const char *name;
    const char *parameters;
    const char *returnType;
} KQPluginEvent;

/* The behaviour callbacks of a custom control; any may be null. */
typedef struct KQPluginControlBehaviour {
    void (*constructor)(KQControl *control);
    void (*destructor)(KQControl *control);
    void (*redraw)(KQControl *control, KQGraphics *g);
    /* A press; nonzero takes it, so that drags and the release follow. */
    int32_t (*mouseDown)(KQControl *control, int32_t x, int32_t y);
    void (*mouseDrag)(KQControl *control, int32_t x, int32_t y);
    void (*mouseUp)(KQControl *control, int32_t x, int32_t y);
    void (*gotFocus)(KQControl *control);
    void (*lostFocus)(KQControl *control);
    /* A key typed while the control has the focus; nonzero consumes it. */
    int32_t (*keyDown)(KQControl *control, int32_t charCode);
    void (*open)(KQControl *control);
    void (*close)(KQControl *control);
    void (*drawOffscreen)(KQControl *control, KQGraphics *g);
    void (*mouseExit)(KQControl *control);
    void (*mouseMove)(KQControl *control, int32_t x, int32_t y);
    /* Something the drawing depends on changed (enabled, visible). */
    void (*stateChanged)(KQControl *control, uint32_t changed);
    void *(*controlHandle)(KQControl *control);
    /* Nonzero when the control takes the keyboard focus. */
    int32_t (*acceptFocus)(KQControl *control);
} KQPluginControlBehaviour;

/* Bits of stateChanged. */
enum { kKQStateEnabled = 1, kKQStateVisible = 2 };

typedef struct KQPluginControl {
    uint32_t version; /* kKQPluginInterfaceVersion */
    const char *name;
    uint32_t dataSize;
    uint32_t dataOffset; /* set by PluginRegisterControl */
    /* Set by PluginRegisterControl: raises the control's event of that index
       in `events` and returns the handler's result (0 without a handler). */
    uint32_t (*raiseEvent)(KQControl *control, uint32_t eventIndex);
    const KQPluginControlBehaviour *behaviour;
    const KQPluginEvent *events;
    uint32_t eventCount;
} KQPluginControl;

enum { kKQPluginInterfaceVersion = 1 };

/* The plug-in's entry function, exported as "KESTPluginMain". */
typedef void *(*KQPluginLookup)(const char *name);
void KESTPluginMain(KQPluginLookup lookup);

#ifdef __cplusplus
}
#endif

#endif
