/* The little-arrows behaviour (see ArrowsBehaviour.h). */
#include "ArrowsBehaviour.h"

#include <string.h>

static void Clear(ArrowsEffects *out) {
    memset(out, 0, sizeof *out);
}

/* The part under a point inside the hit area, else kArrowNone. */
static int32_t PartAt(int32_t x, int32_t y, int32_t left, int32_t top) {
    if (x < left || y < top || x >= left + kArrowsHitWidth || y >= top + kArrowsHitHeight)
        return kArrowNone;
    return y < top + kArrowsLowerTop ? kArrowUpper : kArrowLower;
}

int32_t ArrowsPress(ArrowsState *s, int32_t enabled, int32_t x, int32_t y, int32_t left,
                    int32_t top, uint32_t now, ArrowsEffects *out) {
    Clear(out);
    if (!enabled) return 0;
    if (x >= left + kArrowsHitWidth || y >= top + kArrowsHitHeight) return 0;
    s->pressTime = now;
    s->pressedPart = y < top + kArrowsLowerTop ? kArrowUpper : kArrowLower;
    out->raise = s->pressedPart;
    s->drawnPart = s->pressedPart;
    out->redraw = 1;
    return 1;
}

void ArrowsDrag(ArrowsState *s, uint32_t *lastRepeat, int32_t x, int32_t y, int32_t left,
                int32_t top, uint32_t now, ArrowsEffects *out) {
    Clear(out);
    if (s->pressedPart == kArrowNone) return;
    int32_t upperHalf = y < top + kArrowsLowerTop;
    int32_t over = x >= 0 && y >= 0 && x < left + kArrowsHitWidth && y < top + kArrowsHitHeight &&
                   (s->pressedPart == kArrowUpper ? upperHalf : !upperHalf);
    if (over) {
        if (s->drawnPart != s->pressedPart) {
            s->drawnPart = s->pressedPart;
            out->redraw = 1;
        }
        if (now > s->pressTime + kArrowsRepeatDelay && now > *lastRepeat + 1) {
            *lastRepeat = now;
            out->raise = s->pressedPart;
        }
    } else if (s->drawnPart != kArrowNone) {
        s->drawnPart = kArrowNone;
        out->redraw = 1;
    }
}

void ArrowsRelease(ArrowsState *s, ArrowsEffects *out) {
    Clear(out);
    s->pressedPart = kArrowNone;
    s->drawnPart = kArrowNone;
    out->redraw = 1;
}

void ArrowsHover(ArrowsState *s, int32_t x, int32_t y, int32_t left, int32_t top,
                 ArrowsEffects *out) {
    Clear(out);
    int32_t part = PartAt(x, y, left, top);
    if (part != s->hoverPart) {
        s->hoverPart = part;
        out->redraw = 1;
    }
}

void ArrowsExit(ArrowsState *s, ArrowsEffects *out) {
    Clear(out);
    if (s->hoverPart != kArrowNone) out->redraw = 1;
    s->hoverPart = kArrowNone;
}
