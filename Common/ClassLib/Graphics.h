// `Graphics`: the drawing surface of Paint events, canvases and pictures.
// The object keeps the language-side drawing state and hands every
// primitive to its back end (GraphicsGTK), which adds the surface's origin.
//
// Graphics record, instance size 52:
//
//   offset  field          property
//   24      mImp           __kqf_mImp: the back end (GraphicsGTK), owned
//   28      foreColor      ForeColor (0x00RRGGBB)
//   32      textFont       TextFont
//   36      textSize       TextSize
//   40      penWidth       PenWidth
//   44      penHeight      PenHeight
//   48      bold, 49 italic, 50 underline, 51 useOldRenderer
//
// A Graphics object without a back end (one the image made itself) draws
// nothing and measures 0.
#pragma once

#include "GraphicsGTK.h"
#include "RuntimeObject.h"

#include <cstddef>
#include <cstdint>

struct RuntimeArray;

struct GraphicsObject {
    RuntimeObject header;
    GraphicsGTK *mImp;
    uint32_t foreColor;
    KESTstring *textFont;
    int32_t textSize;
    int32_t penWidth;
    int32_t penHeight;
    uint8_t bold;
    uint8_t italic;
    uint8_t underline;
    uint8_t useOldRenderer;
};
static_assert(offsetof(GraphicsObject, mImp) == 24, "Graphics.mImp");
static_assert(offsetof(GraphicsObject, foreColor) == 28, "Graphics.foreColor");
static_assert(offsetof(GraphicsObject, textFont) == 32, "Graphics.textFont");
static_assert(offsetof(GraphicsObject, textSize) == 36, "Graphics.textSize");
static_assert(offsetof(GraphicsObject, penWidth) == 40, "Graphics.penWidth");
static_assert(offsetof(GraphicsObject, penHeight) == 44, "Graphics.penHeight");
static_assert(offsetof(GraphicsObject, bold) == 48, "Graphics.bold");
static_assert(offsetof(GraphicsObject, useOldRenderer) == 51, "Graphics.useOldRenderer");
static_assert(sizeof(GraphicsObject) == 52, "Graphics instance size");

// The value a size parameter of DrawPicture, Scroll and the like takes when
// the caller leaves it out.
constexpr int32_t kDefaultExtent = -10000;

namespace graphics {

// A new Graphics object that owns `backend` (the caller owns the object).
RuntimeObject *New(GraphicsGTK *backend);

// A new Graphics object drawing on `drawable` (a surface of width by
// height) that only touches the exposed area, for Paint callbacks.
RuntimeObject *NewForExposure(GdkDrawable *drawable, int width, int height,
                              const GdkRectangle &area);

// A new Graphics object drawing on the widget's own window over a surface
// of width by height whose top-left corner lies `top` pixels down the
// window; null while the widget has no window.
RuntimeObject *NewForWidget(GtkWidget *widget, int width, int height, int top = 0);

// Draws a picture at its own size at the surface's top-left corner (the
// backdrop of windows and canvases).
void DrawBackdrop(RuntimeObject *g, RuntimeObject *picture);

// The back end of a Graphics object, or null.
GraphicsGTK *BackendOf(RuntimeObject *graphics);

// Draws what a widget and the widgets inside it show (drawn afresh off the
// screen, so covered parts come out too) into `g` with the widget's
// top-left corner at (x, y). Nothing for a widget that is not realised; a
// nil `g` raises NilObjectException.
void DrawWidgetInto(RuntimeObject *g, GtkWidget *widget, int x, int y);

// The destination and source rectangles of DrawPicture after the defaults
// and the clipping to the picture: false when nothing is to be drawn.
struct PictureRects {
    int x, y, w1, h1, sx, sy, w2, h2;
};
bool ClipPictureRects(int pictureWidth, int pictureHeight, PictureRects *r);

} // namespace graphics

extern "C" {
void RuntimeGraphicsClearRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                              int32_t height);
void RuntimeGraphicsDrawLine(RuntimeObject *g, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void RuntimeGraphicsDrawOval(RuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsDrawRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsFillOval(RuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsFillRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width, int32_t height);
void RuntimeGraphicsDrawRoundRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                                  int32_t height, int32_t arcWidth, int32_t arcHeight);
void RuntimeGraphicsFillRoundRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                                  int32_t height, int32_t arcWidth, int32_t arcHeight);
void RuntimeGraphicsDrawPicture(RuntimeObject *g, RuntimeObject *image, int32_t x, int32_t y,
                                int32_t w1, int32_t h1, int32_t sx, int32_t sy, int32_t w2,
                                int32_t h2);
void RuntimeGraphicsDrawStringCondensed(RuntimeObject *g, KESTstring *str, int32_t x, int32_t y,
                                        int32_t width, bool condense);
int32_t RuntimeGraphicsStringWidth(RuntimeObject *g, KESTstring *text);
int32_t RuntimeGraphicsStringHeight(RuntimeObject *g, KESTstring *text, int32_t wrapWidth);
int32_t RuntimeGraphicsStringDirection(RuntimeObject *g, KESTstring *text);
int32_t RuntimeGraphicsTextHeight(RuntimeObject *g);
int32_t RuntimeGraphicsTextAscent(RuntimeObject *g);
void RuntimeGraphicsNextPage(RuntimeObject *g);
void graphicsDrawStopIcon(RuntimeObject *g, int32_t x, int32_t y);
void graphicsDrawNoteIcon(RuntimeObject *g, int32_t x, int32_t y);
void graphicsDrawCautionIcon(RuntimeObject *g, int32_t x, int32_t y);
uint32_t graphicsPixelGetter(RuntimeObject *g, int32_t x, int32_t y);
void graphicsPixelSetter(RuntimeObject *g, int32_t x, int32_t y, uint32_t color);
void graphicsDrawPolygon(RuntimeObject *g, RuntimeArray *points);
void graphicsFillPolygon(RuntimeObject *g, RuntimeArray *points);
void RuntimeGraphicsDrawFocusRing(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                                  int32_t height);
int32_t RuntimeGraphicsHandleGetter(RuntimeObject *g, int32_t type);
void RuntimeGraphicsDestructor(RuntimeObject *g);

uint32_t graphicsForeColorGetter(RuntimeObject *g, int32_t);
void graphicsForeColorSetter(RuntimeObject *g, int32_t, uint32_t color);
int32_t graphicsWidthGetter(RuntimeObject *g, int32_t);
int32_t graphicsHeightGetter(RuntimeObject *g, int32_t);
KESTstring *graphicsTextFontGetter(RuntimeObject *g, int32_t);
void graphicsTextFontSetter(RuntimeObject *g, int32_t, KESTstring *font);
int32_t graphicsTextSizeGetter(RuntimeObject *g, int32_t);
void graphicsTextSizeSetter(RuntimeObject *g, int32_t, int32_t size);
int32_t graphicsCopiesGetter(RuntimeObject *g, int32_t);
int32_t graphicsFirstPageGetter(RuntimeObject *g, int32_t);
int32_t graphicsLastPageGetter(RuntimeObject *g, int32_t);
bool graphicsBoldGetter(RuntimeObject *g, int32_t);
void graphicsBoldSetter(RuntimeObject *g, int32_t, bool value);
bool graphicsItalicGetter(RuntimeObject *g, int32_t);
void graphicsItalicSetter(RuntimeObject *g, int32_t, bool value);
bool graphicsUnderlineGetter(RuntimeObject *g, int32_t);
void graphicsUnderlineSetter(RuntimeObject *g, int32_t, bool value);
int32_t graphicsPenWidthGetter(RuntimeObject *g, int32_t);
void graphicsPenWidthSetter(RuntimeObject *g, int32_t, int32_t value);
int32_t graphicsPenHeightGetter(RuntimeObject *g, int32_t);
void graphicsPenHeightSetter(RuntimeObject *g, int32_t, int32_t value);
bool graphicsUseOldRendererGetter(RuntimeObject *g, int32_t);
void graphicsUseOldRendererSetter(RuntimeObject *g, int32_t, bool value);
}
