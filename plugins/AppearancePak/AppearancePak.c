/* libKQAppearancePak.so: the appearance controls plug-in. It registers the
   steppers LittleArrows and UpDownArrows (events Up, Down, GainedFocus,
   LostFocus) with the runtime and draws them through the runtime's
   Graphics entry points; their behaviour is ArrowsBehaviour.c. */
#include "ArrowsBehaviour.h"
#include "PluginInterface.h"

#include <stddef.h>
#include <string.h>

/* The runtime's entry points this library calls, looked up by name. */
typedef struct Runtime {
    void (*registerControl)(KQPluginControl *control);
    void (*bounds)(KQControl *control, KQPluginRect *bounds);
    int32_t (*enabled)(KQControl *control);
    void (*invalidate)(KQControl *control);
    int32_t (*ticks)(void);
    void (*foreColor)(KQGraphics *g, int32_t unused, uint32_t rgb);
    void (*fillRect)(KQGraphics *g, int32_t x, int32_t y, int32_t width, int32_t height);
    void (*drawRect)(KQGraphics *g, int32_t x, int32_t y, int32_t width, int32_t height);
    void (*drawLine)(KQGraphics *g, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
} Runtime;

static Runtime gRuntime;

/* The repeat clock of every arrow control of the process. */
static uint32_t gLastRepeat;

enum { kEventUp, kEventDown, kEventGainedFocus, kEventLostFocus };

static const KQPluginEvent kArrowEvents[] = {
    {"Up", "", NULL},
    {"Down", "", NULL},
    {"GainedFocus", "", NULL},
    {"LostFocus", "", NULL},
};

/* Theme colours. */
enum {
    kFace = 0xE6E6E6,
    kFaceHover = 0xF4F4F4,
    kFacePressed = 0xA9B8CC,
    kFrame = 0x7A7A7A,
    kArrow = 0x202020,
    kArrowDisabled = 0xA0A0A0,
};

static KQPluginControl kLittleArrows;
static KQPluginControl kUpDownArrows;

/* Both classes keep their state at the same offset and raise their events
   through the same runtime function, so kLittleArrows answers for both. */
static ArrowsState *StateOf(KQControl *control) {
    return (ArrowsState *)((char *)control + kLittleArrows.dataOffset);
}

static void Apply(KQControl *control, const ArrowsEffects *effects) {
    if (effects->redraw) gRuntime.invalidate(control);
    if (effects->raise == kArrowUpper) kLittleArrows.raiseEvent(control, kEventUp);
    if (effects->raise == kArrowLower) kLittleArrows.raiseEvent(control, kEventDown);
}

/* One arrow in its box: top row `top`, `height` rows, pointing up or down. */
static void DrawArrow(KQGraphics *g, int32_t top, int32_t height, int32_t up, int32_t pressed,
                      int32_t hovered, int32_t enabled) {
    gRuntime.foreColor(g, 0, pressed ? kFacePressed : hovered ? kFaceHover : kFace);
    gRuntime.fillRect(g, 0, top, kArrowsHitWidth, height);
    gRuntime.foreColor(g, 0, kFrame);
    gRuntime.drawRect(g, 0, top, kArrowsHitWidth, height);
    /* A triangle of four rows, 7 pixels wide at its base, centred. */
    gRuntime.foreColor(g, 0, enabled ? kArrow : kArrowDisabled);
    int32_t apex = top + (height - 4) / 2 + (pressed ? 1 : 0);
    for (int32_t row = 0; row < 4; ++row) {
        int32_t y = up ? apex + row : apex + 3 - row;
        gRuntime.drawLine(g, 6 - row, y, 6 + row, y);
    }
}

static void Redraw(KQControl *control, KQGraphics *g) {
    ArrowsState *s = StateOf(control);
    int32_t enabled = gRuntime.enabled(control);
    DrawArrow(g, 0, kArrowsLowerTop, 1, s->drawnPart == kArrowUpper, s->hoverPart == kArrowUpper,
              enabled);
    DrawArrow(g, kArrowsLowerTop, kArrowsHitHeight - kArrowsLowerTop, 0,
              s->drawnPart == kArrowLower, s->hoverPart == kArrowLower, enabled);
}

static void Origin(KQControl *control, int32_t *left, int32_t *top) {
    KQPluginRect r;
    gRuntime.bounds(control, &r);
    *left = r.left;
    *top = r.top;
}

static int32_t MouseDown(KQControl *control, int32_t x, int32_t y) {
    int32_t left, top;
    Origin(control, &left, &top);
    ArrowsEffects effects;
    int32_t taken = ArrowsPress(StateOf(control), gRuntime.enabled(control), x, y, left, top,
                                (uint32_t)gRuntime.ticks(), &effects);
    Apply(control, &effects);
    return taken;
}

static void MouseDrag(KQControl *control, int32_t x, int32_t y) {
    int32_t left, top;
    Origin(control, &left, &top);
    ArrowsEffects effects;
    ArrowsDrag(StateOf(control), &gLastRepeat, x, y, left, top, (uint32_t)gRuntime.ticks(),
               &effects);
    Apply(control, &effects);
}

static void MouseUp(KQControl *control, int32_t x, int32_t y) {
    (void)x;
    (void)y;
    ArrowsEffects effects;
    ArrowsRelease(StateOf(control), &effects);
    Apply(control, &effects);
}

static void MouseMove(KQControl *control, int32_t x, int32_t y) {
    int32_t left, top;
    Origin(control, &left, &top);
    ArrowsEffects effects;
    ArrowsHover(StateOf(control), x, y, left, top, &effects);
    Apply(control, &effects);
}

static void MouseExit(KQControl *control) {
    ArrowsEffects effects;
    ArrowsExit(StateOf(control), &effects);
    Apply(control, &effects);
}

static void GotFocus(KQControl *control) {
    kLittleArrows.raiseEvent(control, kEventGainedFocus);
}

static void LostFocus(KQControl *control) {
    kLittleArrows.raiseEvent(control, kEventLostFocus);
}

static void StateChanged(KQControl *control, uint32_t changed) {
    (void)changed;
    gRuntime.invalidate(control);
}

static const KQPluginControlBehaviour kArrowsBehaviour = {
    .redraw = Redraw,
    .mouseDown = MouseDown,
    .mouseDrag = MouseDrag,
    .mouseUp = MouseUp,
    .gotFocus = GotFocus,
    .lostFocus = LostFocus,
    .mouseExit = MouseExit,
    .mouseMove = MouseMove,
    .stateChanged = StateChanged,
};

static KQPluginControl kLittleArrows = {kKQPluginInterfaceVersion,
                                        "LittleArrows",
                                        sizeof(ArrowsState),
                                        0,
                                        NULL,
                                        &kArrowsBehaviour,
                                        kArrowEvents,
                                        sizeof kArrowEvents / sizeof kArrowEvents[0]};
static KQPluginControl kUpDownArrows = {kKQPluginInterfaceVersion,
                                        "UpDownArrows",
                                        sizeof(ArrowsState),
                                        0,
                                        NULL,
                                        &kArrowsBehaviour,
                                        kArrowEvents,
                                        sizeof kArrowEvents / sizeof kArrowEvents[0]};

/* Looks every entry point up; false when one is missing, so that a runtime
   without them gets no half-working controls. */
static int Bind(KQPluginLookup lookup) {
    struct {
        void **slot;
        const char *name;
    } table[] = {
        {(void **)&gRuntime.registerControl, "PluginRegisterControl"},
        {(void **)&gRuntime.bounds, "PluginGetControlBounds"},
        {(void **)&gRuntime.enabled, "KESTGetControlEnabled"},
        {(void **)&gRuntime.invalidate, "KESTInvalidateControl"},
        {(void **)&gRuntime.ticks, "RuntimeTicks"},
        {(void **)&gRuntime.foreColor, "graphicsForeColorSetter"},
        {(void **)&gRuntime.fillRect, "RuntimeGraphicsFillRect"},
        {(void **)&gRuntime.drawRect, "RuntimeGraphicsDrawRect"},
        {(void **)&gRuntime.drawLine, "RuntimeGraphicsDrawLine"},
    };
    for (size_t i = 0; i < sizeof table / sizeof table[0]; ++i) {
        *table[i].slot = lookup(table[i].name);
        if (*table[i].slot == NULL) return 0;
    }
    return 1;
}

__attribute__((visibility("default"))) void KESTPluginMain(KQPluginLookup lookup) {
    if (lookup == NULL || !Bind(lookup)) return;
    gRuntime.registerControl(&kLittleArrows);
    gRuntime.registerControl(&kUpDownArrows);
}
