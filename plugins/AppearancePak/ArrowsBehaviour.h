/* The behaviour of the little-arrows stepper, apart from drawing and from
   the runtime: what a press, a drag, a release and hovering do to one
   control's state, given the time in ticks. The callers raise the event
   and redraw as the effects say.

   The hit area is 13 pixels wide and 23 high from the control's top-left
   corner whatever the control's size: rows 0-11 are the upper arrow, rows
   12-22 the lower one. Holding an arrow steps once at the press, then,
   after 15 ticks, at most every second tick while the pointer stays on the
   pressed arrow; one repeat clock is shared by all arrow controls. */
#ifndef KQ_ARROWS_BEHAVIOUR_H
#define KQ_ARROWS_BEHAVIOUR_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { kArrowNone = 0, kArrowUpper = 1, kArrowLower = 2 };
enum { kArrowsHitWidth = 13, kArrowsHitHeight = 23, kArrowsLowerTop = 12 };
enum { kArrowsRepeatDelay = 15 };

typedef struct ArrowsState {
    int32_t pressedPart; /* the part the current press started on */
    int32_t drawnPart;   /* the part drawn pressed */
    uint32_t pressTime;  /* ticks at the press */
    int32_t hoverPart;   /* the part under the pointer */
} ArrowsState;

typedef struct ArrowsEffects {
    int32_t raise; /* kArrowUpper: raise Up; kArrowLower: raise Down */
    int32_t redraw;
} ArrowsEffects;

/* A press at (x, y) in window coordinates on a control whose top-left
   corner is (left, top). Returns nonzero when the press is taken. */
int32_t ArrowsPress(ArrowsState *s, int32_t enabled, int32_t x, int32_t y, int32_t left,
                    int32_t top, uint32_t now, ArrowsEffects *out);

/* The pointer while the button is held; `lastRepeat` is the shared clock. */
void ArrowsDrag(ArrowsState *s, uint32_t *lastRepeat, int32_t x, int32_t y, int32_t left,
                int32_t top, uint32_t now, ArrowsEffects *out);

void ArrowsRelease(ArrowsState *s, ArrowsEffects *out);

/* The pointer moving without a press, and leaving the control. */
void ArrowsHover(ArrowsState *s, int32_t x, int32_t y, int32_t left, int32_t top,
                 ArrowsEffects *out);
void ArrowsExit(ArrowsState *s, ArrowsEffects *out);

#ifdef __cplusplus
}
#endif

#endif
