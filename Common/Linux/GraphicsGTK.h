// The drawing back end of `Graphics` on GDK: one drawable (a window's or a
// canvas's GdkWindow, or a picture's pixmap), its graphics context with the
// current colour, pen and clip, and a Pango layout for text. Coordinates
// given to the primitives are the caller's; the back end adds its origin
// (the position of the drawing surface within the drawable) to each.
//
// Knows GDK and Pango, nothing of the class model: the Graphics class
// (Common/ClassLib/Graphics.cc) keeps the language-side state and forwards
// each primitive here.
#pragma once

#include "GTKHelper.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>

#include <cstdint>
#include <string>

class GraphicsGTK {
  public:
    // Draws on `drawable` (a reference is taken) over a surface of the given
    // size whose top-left corner lies at (originX, originY) of the drawable.
    GraphicsGTK(GdkDrawable *drawable, int originX, int originY, int width, int height);
    ~GraphicsGTK();
    GraphicsGTK(const GraphicsGTK &) = delete;
    GraphicsGTK &operator=(const GraphicsGTK &) = delete;

    GdkDrawable *Drawable() const { return mDrawable; }
    GdkGC *GC() const { return mGC; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    // Limits drawing to a rectangle of surface coordinates.
    void SetClip(int x, int y, int width, int height);

    // State: the colour (0x00RRGGBB), the pen size and the text font.
    void SetForeColor(uint32_t rgb);
    void SetPen(int width, int height);
    void SetFont(const FontRecord &font);

    void FillRect(int x, int y, int width, int height);
    void DrawRect(int x, int y, int width, int height);
    void ClearRect(int x, int y, int width, int height);
    void FillOval(int x, int y, int width, int height);
    void DrawOval(int x, int y, int width, int height);
    void FillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight);
    void DrawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight);
    // A line from (x1, y1) to (x2, y2); the pen stays at the end point.
    void DrawLine(int x1, int y1, int x2, int y2);
    // A polygon through `count` points (x, y pairs).
    void Polygon(const GdkPoint *points, int count, bool filled);
    void DrawFocusRing(int x, int y, int width, int height);

    // The source rectangle (sx, sy, sw, sh) of the image scaled into the
    // destination rectangle (x, y, width, height); both already clipped to
    // the image. The image's alpha channel is its mask. Scaling repeats or
    // drops whole pixels, or blends them (bilinear) when `smooth` is set.
    void DrawImage(GdkPixbuf *image, int x, int y, int width, int height, int sx, int sy, int sw,
                   int sh, bool smooth = false);

    // One of the stock dialog icons ("gtk-dialog-error", ...) at (x, y).
    void DrawStockIcon(const char *stockId, int x, int y);

    // Text in UTF-8 at (x, y) (the top of the layout); a wrap width of 0 or
    // less sets the whole text on one line.
    void DrawText(const std::string &utf8, int x, int y, int wrapWidth, bool underline);
    int TextWidth(const std::string &utf8);
    int TextHeight(const std::string &utf8, int wrapWidth);
    // Ascent and ascent + descent of the current font in pixels, cached
    // until the font changes.
    int FontAscent();
    int FontHeight();

    // The colour of a pixel as 0x00RRGGBB (0 outside the drawable), and
    // setting one.
    uint32_t Pixel(int x, int y);
    void SetPixel(int x, int y, uint32_t rgb);

  private:
    void Metrics();
    PangoLayout *Layout(const std::string &utf8, int wrapWidth);

    GdkDrawable *mDrawable;
    GdkGC *mGC;
    int mOriginX, mOriginY, mWidth, mHeight;
    uint32_t mColor = 0;
    int mPenWidth = 1, mPenHeight = 1;
    int mPenX = 0, mPenY = 0;
    PangoLayout *mLayout = nullptr;
    PangoFontDescription *mFont = nullptr;
    int mAscent = -1, mHeightCache = -1;
};

namespace graphicsgtk {

// Rounds Pango units to pixels, halves away from zero.
int PangoToPixels(int units);

// The pixel rows a pen of `penWidth` by `penHeight` covers when swept from
// (x1, y1) to (x2, y2): the hexagon through the corners of the pen at both
// ends (the pen hangs right and down from each point). Writes six points.
void SweptPen(int x1, int y1, int x2, int y2, int penWidth, int penHeight, GdkPoint out[6]);

} // namespace graphicsgtk
