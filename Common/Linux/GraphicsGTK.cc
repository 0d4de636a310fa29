// The GDK drawing back end of Graphics (see GraphicsGTK.h).
#include "GraphicsGTK.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kFullCircle = 360 * 64;

// One attribute list with a single underline, shared by every back end.
PangoAttrList *UnderlineAttributes() {
    static PangoAttrList *list = [] {
        PangoAttrList *l = pango_attr_list_new();
        pango_attr_list_insert(l, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        return l;
    }();
    return list;
}

} // namespace

namespace graphicsgtk {

int PangoToPixels(int units) {
    return units >= 0 ? (units + PANGO_SCALE / 2) / PANGO_SCALE
                      : -((-units + PANGO_SCALE / 2) / PANGO_SCALE);
}

void SweptPen(int x1, int y1, int x2, int y2, int penWidth, int penHeight, GdkPoint out[6]) {
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int w = penWidth, h = penHeight;
    if (y2 >= y1) { // right and down
        GdkPoint p[6] = {{x1, y1},         {x1 + w, y1}, {x2 + w, y2},
                         {x2 + w, y2 + h}, {x2, y2 + h}, {x1, y1 + h}};
        std::copy(p, p + 6, out);
    } else { // right and up
        GdkPoint p[6] = {{x1, y1},         {x2, y2},         {x2 + w, y2},
                         {x2 + w, y2 + h}, {x1 + w, y1 + h}, {x1, y1 + h}};
        std::copy(p, p + 6, out);
    }
}

} // namespace graphicsgtk

GraphicsGTK::GraphicsGTK(GdkDrawable *drawable, int originX, int originY, int width, int height)
    : mDrawable(GDK_DRAWABLE(g_object_ref(drawable))), mGC(gdk_gc_new(drawable)), mOriginX(originX),
      mOriginY(originY), mWidth(width), mHeight(height) {
    SetForeColor(0);
}

GraphicsGTK::~GraphicsGTK() {
    if (mLayout != nullptr) g_object_unref(mLayout);
    if (mFont != nullptr) pango_font_description_free(mFont);
    g_object_unref(mGC);
    g_object_unref(mDrawable);
}

void GraphicsGTK::SetClip(int x, int y, int width, int height) {
    GdkRectangle r = {x + mOriginX, y + mOriginY, std::max(width, 0), std::max(height, 0)};
    gdk_gc_set_clip_rectangle(mGC, &r);
}

void GraphicsGTK::SetForeColor(uint32_t rgb) {
    mColor = rgb & 0xFFFFFF;
    GdkColor color = gtkhelper::ColorOf(mColor);
    gdk_gc_set_rgb_fg_color(mGC, &color);
}

void GraphicsGTK::SetPen(int width, int height) {
    mPenWidth = width;
    mPenHeight = height;
}

void GraphicsGTK::SetFont(const FontRecord &font) {
    if (mFont != nullptr) pango_font_description_free(mFont);
    mFont = gtkhelper::NewFontDescription(font);
    if (mLayout != nullptr) pango_layout_set_font_description(mLayout, mFont);
    mAscent = mHeightCache = -1;
}

void GraphicsGTK::FillRect(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    gdk_draw_rectangle(mDrawable, mGC, TRUE, x + mOriginX, y + mOriginY, width, height);
}

void GraphicsGTK::DrawRect(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    gdk_draw_rectangle(mDrawable, mGC, FALSE, x + mOriginX, y + mOriginY, width - 1, height - 1);
}

void GraphicsGTK::ClearRect(int x, int y, int width, int height) {
    uint32_t keep = mColor;
    const GdkColor &bg = gtkhelper::Colours().background;
    SetForeColor(uint32_t(bg.red >> 8) << 16 | uint32_t(bg.green >> 8) << 8 | (bg.blue >> 8));
    FillRect(x, y, width, height);
    SetForeColor(keep);
}

void GraphicsGTK::FillOval(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    gdk_draw_arc(mDrawable, mGC, TRUE, x + mOriginX, y + mOriginY, width - 1, height - 1, 0,
                 kFullCircle);
    DrawOval(x, y, width, height);
}

void GraphicsGTK::DrawOval(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    gdk_draw_arc(mDrawable, mGC, FALSE, x + mOriginX, y + mOriginY, width - 1, height - 1, 0,
                 kFullCircle);
}

void GraphicsGTK::FillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
    if (width <= 0 || height <= 0) return;
    int aw = std::clamp(arcWidth, 0, width), ah = std::clamp(arcHeight, 0, height);
    if (aw < 2 || ah < 2) return FillRect(x, y, width, height);
    FillRect(x + aw / 2, y, width - aw / 2 * 2, height);
    FillRect(x, y + ah / 2, width, height - ah / 2 * 2);
    int corners[4][2] = {
        {x, y}, {x + width - aw, y}, {x, y + height - ah}, {x + width - aw, y + height - ah}};
    for (auto &c : corners)
        gdk_draw_arc(mDrawable, mGC, TRUE, c[0] + mOriginX, c[1] + mOriginY, aw, ah, 0,
                     kFullCircle);
}

void GraphicsGTK::DrawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
    if (width <= 0 || height <= 0) return;
    int aw = std::clamp(arcWidth, 0, width - 1), ah = std::clamp(arcHeight, 0, height - 1);
    if (aw < 2 || ah < 2) return DrawRect(x, y, width, height);
    const int l = x + mOriginX, t = y + mOriginY, r = l + width - 1, b = t + height - 1;
    gdk_draw_line(mDrawable, mGC, l + aw / 2, t, r - aw / 2, t);
    gdk_draw_line(mDrawable, mGC, l + aw / 2, b, r - aw / 2, b);
    gdk_draw_line(mDrawable, mGC, l, t + ah / 2, l, b - ah / 2);
    gdk_draw_line(mDrawable, mGC, r, t + ah / 2, r, b - ah / 2);
    gdk_draw_arc(mDrawable, mGC, FALSE, l, t, aw, ah, 90 * 64, 90 * 64);
    gdk_draw_arc(mDrawable, mGC, FALSE, r - aw, t, aw, ah, 0, 90 * 64);
    gdk_draw_arc(mDrawable, mGC, FALSE, l, b - ah, aw, ah, 180 * 64, 90 * 64);
    gdk_draw_arc(mDrawable, mGC, FALSE, r - aw, b - ah, aw, ah, 270 * 64, 90 * 64);
}

void GraphicsGTK::DrawLine(int x1, int y1, int x2, int y2) {
    mPenX = x1;
    mPenY = y1;
    if (mPenWidth < 2 && mPenHeight < 2) {
        gdk_draw_line(mDrawable, mGC, mPenX + mOriginX, mPenY + mOriginY, x2 + mOriginX,
                      y2 + mOriginY);
    } else if (mPenWidth > 0 && mPenHeight > 0) {
        GdkPoint hull[6];
        graphicsgtk::SweptPen(x1 + mOriginX, y1 + mOriginY, x2 + mOriginX, y2 + mOriginY, mPenWidth,
                              mPenHeight, hull);
        gdk_draw_polygon(mDrawable, mGC, TRUE, hull, 6);
    }
    mPenX = x2;
    mPenY = y2;
}

void GraphicsGTK::Polygon(const GdkPoint *points, int count, bool filled) {
    if (count < 2) return;
    GdkPoint *moved = g_new(GdkPoint, count);
    for (int i = 0; i < count; ++i)
        moved[i] = {points[i].x + mOriginX, points[i].y + mOriginY};
    gdk_draw_polygon(mDrawable, mGC, filled, moved, count);
    g_free(moved);
}

void GraphicsGTK::DrawFocusRing(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const int l = x + mOriginX, t = y + mOriginY, r = l + width - 1, b = t + height - 1;
    GdkPoint ring[5] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
    gdk_gc_set_line_attributes(mGC, 1, GDK_LINE_ON_OFF_DASH, GDK_CAP_BUTT, GDK_JOIN_MITER);
    gdk_draw_lines(mDrawable, mGC, ring, 5);
    gdk_gc_set_line_attributes(mGC, 0, GDK_LINE_SOLID, GDK_CAP_BUTT, GDK_JOIN_MITER);
}

void GraphicsGTK::DrawImage(GdkPixbuf *image, int x, int y, int width, int height, int sx, int sy,
                            int sw, int sh, bool smooth) {
    if (image == nullptr || width < 1 || height < 1 || sw < 1 || sh < 1) return;
    GdkPixbuf *source = gdk_pixbuf_new_subpixbuf(image, sx, sy, sw, sh);
    if (source == nullptr) return;
    GdkPixbuf *scaled = source;
    if (sw != width || sh != height)
        scaled = gdk_pixbuf_scale_simple(source, width, height,
                                         smooth ? GDK_INTERP_BILINEAR : GDK_INTERP_NEAREST);
    if (scaled != nullptr)
        gdk_draw_pixbuf(mDrawable, mGC, scaled, 0, 0, x + mOriginX, y + mOriginY, width, height,
                        GDK_RGB_DITHER_NONE, 0, 0);
    if (scaled != nullptr && scaled != source) g_object_unref(scaled);
    g_object_unref(source);
}

void GraphicsGTK::DrawStockIcon(const char *stockId, int x, int y) {
    GtkIconTheme *theme = gtk_icon_theme_get_default();
    int w = 48, h = 48;
    gtk_icon_size_lookup(GTK_ICON_SIZE_DIALOG, &w, &h);
    GtkStyle *style = gtk_widget_get_default_style();
    GdkPixbuf *icon = nullptr;
    for (const char *id : {stockId, "gtk-dialog-question"}) {
        GtkIconSet *set = gtk_style_lookup_icon_set(style, id);
        if (set != nullptr)
            icon = gtk_icon_set_render_icon(set, style, GTK_TEXT_DIR_NONE, GTK_STATE_NORMAL,
                                            GTK_ICON_SIZE_DIALOG, nullptr, nullptr);
        if (icon == nullptr && theme != nullptr)
            icon = gtk_icon_theme_load_icon(theme, id, w, GtkIconLookupFlags(0), nullptr);
        if (icon != nullptr) break;
    }
    if (icon == nullptr) return;
    DrawImage(icon, x, y, w, h, 0, 0, gdk_pixbuf_get_width(icon), gdk_pixbuf_get_height(icon),
              true);
    g_object_unref(icon);
}

PangoLayout *GraphicsGTK::Layout(const std::string &utf8, int wrapWidth) {
    if (mLayout == nullptr) {
        PangoContext *context = gdk_pango_context_get_for_screen(
            gdk_drawable_get_screen(mDrawable) != nullptr ? gdk_drawable_get_screen(mDrawable)
                                                          : gdk_screen_get_default());
        mLayout = pango_layout_new(context);
        g_object_unref(context);
        if (mFont == nullptr) mFont = gtkhelper::NewFontDescription(FontRecord{});
        pango_layout_set_font_description(mLayout, mFont);
    }
    pango_layout_set_text(mLayout, utf8.c_str(), int(utf8.size()));
    pango_layout_set_attributes(mLayout, nullptr);
    if (wrapWidth > 0) {
        pango_layout_set_width(mLayout, wrapWidth * PANGO_SCALE);
        pango_layout_set_wrap(mLayout, PANGO_WRAP_WORD);
    } else {
        pango_layout_set_width(mLayout, -1);
    }
    return mLayout;
}

void GraphicsGTK::DrawText(const std::string &utf8, int x, int y, int wrapWidth, bool underline) {
    PangoLayout *layout = Layout(utf8, wrapWidth);
    if (underline) pango_layout_set_attributes(layout, UnderlineAttributes());
    gdk_draw_layout(mDrawable, mGC, x + mOriginX, y + mOriginY, layout);
}

int GraphicsGTK::TextWidth(const std::string &utf8) {
    int w = 0, h = 0;
    pango_layout_get_pixel_size(Layout(utf8, 0), &w, &h);
    return w;
}

int GraphicsGTK::TextHeight(const std::string &utf8, int wrapWidth) {
    int w = 0, h = 0;
    pango_layout_get_pixel_size(Layout(utf8, wrapWidth), &w, &h);
    return h;
}

void GraphicsGTK::Metrics() {
    if (mAscent >= 0) return;
    PangoContext *context = pango_layout_get_context(Layout("", 0));
    PangoFontMetrics *metrics = pango_context_get_metrics(context, mFont, nullptr);
    int ascent = pango_font_metrics_get_ascent(metrics);
    int descent = pango_font_metrics_get_descent(metrics);
    pango_font_metrics_unref(metrics);
    mAscent = graphicsgtk::PangoToPixels(ascent);
    mHeightCache = graphicsgtk::PangoToPixels(ascent + descent);
}

int GraphicsGTK::FontAscent() {
    Metrics();
    return mAscent;
}

int GraphicsGTK::FontHeight() {
    Metrics();
    return mHeightCache;
}

uint32_t GraphicsGTK::Pixel(int x, int y) {
    int dw = 0, dh = 0;
    gdk_drawable_get_size(mDrawable, &dw, &dh);
    x += mOriginX;
    y += mOriginY;
    if (x < 0 || y < 0 || x >= dw || y >= dh) return 0;
    GdkPixbuf *one = gdk_pixbuf_get_from_drawable(nullptr, mDrawable, nullptr, x, y, 0, 0, 1, 1);
    if (one == nullptr) return 0;
    const guchar *p = gdk_pixbuf_get_pixels(one);
    uint32_t rgb = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    g_object_unref(one);
    return rgb;
}

void GraphicsGTK::SetPixel(int x, int y, uint32_t rgb) {
    uint32_t keep = mColor;
    SetForeColor(rgb);
    gdk_draw_point(mDrawable, mGC, x + mOriginX, y + mOriginY);
    SetForeColor(keep);
}
