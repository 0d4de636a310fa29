// The class `Graphics` (record in Graphics.h): its properties, constants and
// methods, each forwarding to the GDK back end.
#include "Graphics.h"

#include "ObjectDefinition.h"
#include "Picture.h"
#include "RuntimeArray.h"
#include "RuntimeException.h"

#include <string>
#include <vector>

#define KQ_GRAPHICS_FIELD(field) offsetof(GraphicsObject, field)

namespace {

GraphicsObject *AsGraphics(RuntimeObject *g) {
    return reinterpret_cast<GraphicsObject *>(g);
}

// The back end of a method's target; a nil target raises NilObjectException
// and yields null, as does a Graphics object without a back end.
GraphicsGTK *Target(RuntimeObject *g) {
    if (g == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    return AsGraphics(g)->mImp;
}

std::string Utf8(KESTstring *text) {
    kstr::StringRef utf8(kstr::ToUTF8(text));
    return std::string(kstr::Text(utf8.Get()), kstr::Length(utf8.Get()));
}

// Gives the back end the font the object's properties describe.
void ApplyFont(GraphicsObject *g) {
    if (g->mImp == nullptr) return;
    FontRecord font{g->textFont, g->bold, g->italic, g->underline, int16_t(g->textSize)};
    g->mImp->SetFont(font);
}

void ApplyPen(GraphicsObject *g) {
    if (g->mImp != nullptr) g->mImp->SetPen(g->penWidth, g->penHeight);
}

// Underline is applied by each DrawString; UseOldRenderer is only stored.
void ApplyNothing(GraphicsObject *) {}

// The getter and setter of a stored property; the setter then passes the
// object's state on to the back end with `apply`.
#define KQ_GRAPHICS_ACCESSORS(Name, Type, get, set, field, apply)                                  \
    Type graphics##Name##Getter(RuntimeObject *g, int32_t) {                                       \
        return get(g, KQ_GRAPHICS_FIELD(field));                                                   \
    }                                                                                              \
    void graphics##Name##Setter(RuntimeObject *g, int32_t, Type value) {                           \
        set(g, KQ_GRAPHICS_FIELD(field), value);                                                   \
        if (g != nullptr) apply(AsGraphics(g));                                                    \
    }

// The points of a polygon array: elements 1, 2 are the first x and y, 3, 4
// the second, and so on (element 0 is not used). Anything but a
// one-dimensional Integer array gives no points.
std::vector<GdkPoint> PolygonPoints(RuntimeArray *points) {
    std::vector<GdkPoint> out;
    if (points == nullptr || points->operations != ArrayOperationsFor(kArrayInt32, 1)) return out;
    const int32_t upper = UpperBounds(&points->shape)[0];
    const auto *values = static_cast<const int32_t *>(points->data);
    for (int32_t i = 1; i + 1 <= upper; i += 2)
        out.push_back({values[i], values[i + 1]});
    return out;
}

void Polygon(RuntimeObject *g, RuntimeArray *points, bool filled) {
    GraphicsGTK *b = Target(g);
    if (b == nullptr) return;
    if (points == nullptr) {
        RaiseNilObjectException();
        return;
    }
    std::vector<GdkPoint> list = PolygonPoints(points);
    b->Polygon(list.data(), int(list.size()), filled);
}

const PropertyEntry kGraphicsProperties[] = {
    KQ_CONSTANT("TextDirectionUnknown", &kTypeInteger, -1),
    KQ_CONSTANT("TextDirectionLeftToRight", &kTypeInteger, 0),
    KQ_CONSTANT("TextDirectionRightToLeft", &kTypeInteger, 1),
    KQ_CONSTANT("HandleTypeHDC", &kTypeInteger, 1),
    KQ_CONSTANT("HandleTypeCGrafPtr", &kTypeInteger, 2),
    KQ_CONSTANT("HandleTypeGdkDrawablePtr", &kTypeInteger, 3),
    KQ_CONSTANT("HandleTypeGdkGCPtr", &kTypeInteger, 4),
    KQ_PROPERTY("ForeColor", &kTypeColor, graphicsForeColorGetter, graphicsForeColorSetter, 0),
    KQ_READONLY_PROPERTY("Width", &kTypeInteger, graphicsWidthGetter, 0),
    KQ_READONLY_PROPERTY("Height", &kTypeInteger, graphicsHeightGetter, 0),
    KQ_PROPERTY("TextFont", &kTypeString, graphicsTextFontGetter, graphicsTextFontSetter, 0),
    KQ_PROPERTY("TextSize", &kTypeInteger, graphicsTextSizeGetter, graphicsTextSizeSetter, 0),
    KQ_READONLY_PROPERTY("Copies", &kTypeInteger, graphicsCopiesGetter, 0),
    KQ_READONLY_PROPERTY("FirstPage", &kTypeInteger, graphicsFirstPageGetter, 0),
    KQ_READONLY_PROPERTY("LastPage", &kTypeInteger, graphicsLastPageGetter, 0),
    KQ_PROPERTY("Bold", &kTypeBoolean, graphicsBoldGetter, graphicsBoldSetter, 0),
    KQ_PROPERTY("Italic", &kTypeBoolean, graphicsItalicGetter, graphicsItalicSetter, 0),
    KQ_PROPERTY("Underline", &kTypeBoolean, graphicsUnderlineGetter, graphicsUnderlineSetter, 0),
    KQ_PROPERTY("PenWidth", &kTypeInteger, graphicsPenWidthGetter, graphicsPenWidthSetter, 0),
    KQ_PROPERTY("PenHeight", &kTypeInteger, graphicsPenHeightGetter, graphicsPenHeightSetter, 0),
    KQ_PROPERTY("UseOldRenderer", &kTypeBoolean, graphicsUseOldRendererGetter,
                graphicsUseOldRendererSetter, 0),
    {kMemberHidden, "__kqf_mImp", &kTypePtr, KQ_CODE(intGetter), "intGetter", nullptr, nullptr,
     KQ_GRAPHICS_FIELD(mImp), 0},
};

#define KQ_INT_PARAMETER(name) KQ_PARAMETER(name, &kTypeInteger)
#define KQ_EXTENT_PARAMETER(name) KQ_OPTIONAL_PARAMETER(name, &kTypeInteger, "-10000")

const ParameterEntry kRectParameters[] = {KQ_INT_PARAMETER("x"), KQ_INT_PARAMETER("y"),
                                          KQ_INT_PARAMETER("width"), KQ_INT_PARAMETER("height")};
const ParameterEntry kLineParameters[] = {KQ_INT_PARAMETER("x1"), KQ_INT_PARAMETER("y1"),
                                          KQ_INT_PARAMETER("x2"), KQ_INT_PARAMETER("y2")};
const ParameterEntry kRoundRectParameters[] = {
    KQ_INT_PARAMETER("x"),      KQ_INT_PARAMETER("y"),        KQ_INT_PARAMETER("width"),
    KQ_INT_PARAMETER("height"), KQ_INT_PARAMETER("arcWidth"), KQ_INT_PARAMETER("arcHeight")};
const ParameterEntry kPictureParameters[] = {KQ_PARAMETER("image", &PictureDefinition),
                                             KQ_INT_PARAMETER("x"),
                                             KQ_INT_PARAMETER("y"),
                                             KQ_EXTENT_PARAMETER("w1"),
                                             KQ_EXTENT_PARAMETER("h1"),
                                             KQ_OPTIONAL_PARAMETER("sx", &kTypeInteger, "0"),
                                             KQ_OPTIONAL_PARAMETER("sy", &kTypeInteger, "0"),
                                             KQ_EXTENT_PARAMETER("w2"),
                                             KQ_EXTENT_PARAMETER("h2")};
const ParameterEntry kStringParameters[] = {
    KQ_PARAMETER("str", &kTypeString), KQ_INT_PARAMETER("x"), KQ_INT_PARAMETER("y"),
    KQ_OPTIONAL_PARAMETER("width", &kTypeInteger, "0"),
    KQ_OPTIONAL_PARAMETER("condense", &kTypeBoolean, "False")};
const ParameterEntry kTextParameters[] = {KQ_PARAMETER("Text", &kTypeString)};
const ParameterEntry kWrappedTextParameters[] = {KQ_PARAMETER("Text", &kTypeString),
                                                 KQ_INT_PARAMETER("WrapWidth")};
const ParameterEntry kPointParameters[] = {KQ_INT_PARAMETER("x"), KQ_INT_PARAMETER("y")};
const ArrayType kPointsType = {{kTypeKindArray}, &kTypeInteger, 1};
const ParameterEntry kPointsParameters[] = {KQ_PARAMETER("points", &kPointsType)};
const ParameterEntry kHandleParameters[] = {KQ_INT_PARAMETER("type")};

const MethodEntry kGraphicsMethods[] = {
    KQ_METHOD("ClearRect", nullptr, KQ_TABLE(kRectParameters), RuntimeGraphicsClearRect),
    KQ_METHOD("DrawLine", nullptr, KQ_TABLE(kLineParameters), RuntimeGraphicsDrawLine),
    KQ_METHOD("DrawOval", nullptr, KQ_TABLE(kRectParameters), RuntimeGraphicsDrawOval),
    KQ_METHOD("DrawRect", nullptr, KQ_TABLE(kRectParameters), RuntimeGraphicsDrawRect),
    KQ_METHOD("FillOval", nullptr, KQ_TABLE(kRectParameters), RuntimeGraphicsFillOval),
    KQ_METHOD("FillRect", nullptr, KQ_TABLE(kRectParameters), RuntimeGraphicsFillRect),
    KQ_METHOD("DrawRoundRect", nullptr, KQ_TABLE(kRoundRectParameters),
              RuntimeGraphicsDrawRoundRect),
    KQ_METHOD("FillRoundRect", nullptr, KQ_TABLE(kRoundRectParameters),
              RuntimeGraphicsFillRoundRect),
    KQ_METHOD("DrawPicture", nullptr, KQ_TABLE(kPictureParameters), RuntimeGraphicsDrawPicture),
    KQ_METHOD("DrawString", nullptr, KQ_TABLE(kStringParameters),
              RuntimeGraphicsDrawStringCondensed),
    KQ_METHOD("StringWidth", &kTypeInteger, KQ_TABLE(kTextParameters), RuntimeGraphicsStringWidth),
    KQ_METHOD("StringHeight", &kTypeInteger, KQ_TABLE(kWrappedTextParameters),
              RuntimeGraphicsStringHeight),
    KQ_METHOD("StringDirection", &kTypeInteger, KQ_TABLE(kTextParameters),
              RuntimeGraphicsStringDirection),
    KQ_METHOD("TextHeight", &kTypeInteger, KQ_NO_TABLE, RuntimeGraphicsTextHeight),
    KQ_METHOD("TextAscent", &kTypeInteger, KQ_NO_TABLE, RuntimeGraphicsTextAscent),
    KQ_METHOD("NextPage", nullptr, KQ_NO_TABLE, RuntimeGraphicsNextPage),
    KQ_METHOD("DrawStopIcon", nullptr, KQ_TABLE(kPointParameters), graphicsDrawStopIcon),
    KQ_METHOD("DrawNoteIcon", nullptr, KQ_TABLE(kPointParameters), graphicsDrawNoteIcon),
    KQ_METHOD("DrawCautionIcon", nullptr, KQ_TABLE(kPointParameters), graphicsDrawCautionIcon),
    KQ_ASSIGNABLE_METHOD("Pixel", &kTypeColor, KQ_TABLE(kPointParameters), graphicsPixelGetter,
                         graphicsPixelSetter),
    KQ_METHOD("DrawPolygon", nullptr, KQ_TABLE(kPointsParameters), graphicsDrawPolygon),
    KQ_METHOD("FillPolygon", nullptr, KQ_TABLE(kPointsParameters), graphicsFillPolygon),
    KQ_METHOD("_DrawFocusRing", nullptr, KQ_TABLE(kRectParameters), RuntimeGraphicsDrawFocusRing),
    KQ_METHOD("Handle", &kTypeInteger, KQ_TABLE(kHandleParameters), RuntimeGraphicsHandleGetter),
};

const RuntimeClassDeclaration kGraphicsDeclaration = {"Graphics",
                                                      nullptr,
                                                      sizeof(GraphicsObject),
                                                      KQ_GUI_ONLY,
                                                      false,
                                                      KQ_TABLE(kGraphicsProperties),
                                                      KQ_TABLE(kGraphicsMethods),
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_FUNCTION,
                                                      KQ_FUNCTION(RuntimeGraphicsDestructor)};

} // namespace

ObjectDefinition GraphicsDefinition(&kGraphicsDeclaration);

namespace graphics {

RuntimeObject *New(GraphicsGTK *backend) {
    RuntimeObject *object = definitions::Instantiate(&GraphicsDefinition);
    GraphicsObject *g = AsGraphics(object);
    g->mImp = backend;
    g->penWidth = g->penHeight = 1;
    ApplyFont(g);
    ApplyPen(g);
    return object;
}

RuntimeObject *NewForExposure(GdkDrawable *drawable, int width, int height,
                              const GdkRectangle &area) {
    auto *backend = new GraphicsGTK(drawable, 0, 0, width, height);
    backend->SetClip(area.x, area.y, area.width, area.height);
    return New(backend);
}

RuntimeObject *NewForWidget(GtkWidget *widget, int width, int height, int top) {
    GdkWindow *window = widget != nullptr ? gtk_widget_get_window(widget) : nullptr;
    if (window == nullptr) return nullptr;
    auto *backend = new GraphicsGTK(window, 0, top, width, height);
    backend->SetClip(0, 0, width, height);
    return New(backend);
}

void DrawBackdrop(RuntimeObject *g, RuntimeObject *picture) {
    if (picture != nullptr)
        RuntimeGraphicsDrawPicture(g, picture, 0, 0, kDefaultExtent, kDefaultExtent, 0, 0,
                                   kDefaultExtent, kDefaultExtent);
}

GraphicsGTK *BackendOf(RuntimeObject *graphics) {
    return graphics != nullptr ? AsGraphics(graphics)->mImp : nullptr;
}

void DrawWidgetInto(RuntimeObject *g, GtkWidget *widget, int x, int y) {
    GraphicsGTK *backend = Target(g);
    if (backend == nullptr || widget == nullptr || !gtk_widget_get_realized(widget)) return;
    GtkAllocation allocation{};
    gtk_widget_get_allocation(widget, &allocation);
    // On return the clip is the part the snapshot holds, relative to the
    // widget's corner.
    GdkRectangle clip = {0, 0, allocation.width, allocation.height};
    GdkPixmap *snapshot = gtk_widget_get_snapshot(widget, &clip);
    if (snapshot == nullptr) return;
    GdkPixbuf *pixels = gdk_pixbuf_get_from_drawable(nullptr, snapshot, nullptr, 0, 0, 0, 0,
                                                     clip.width, clip.height);
    g_object_unref(snapshot);
    if (pixels == nullptr) return;
    backend->DrawImage(pixels, x + clip.x, y + clip.y, clip.width, clip.height, 0, 0, clip.width,
                       clip.height);
    g_object_unref(pixels);
}

bool ClipPictureRects(int pictureWidth, int pictureHeight, PictureRects *r) {
    if (r->w1 == kDefaultExtent) r->w1 = pictureWidth;
    if (r->h1 == kDefaultExtent) r->h1 = pictureHeight;
    if (r->w2 == kDefaultExtent) r->w2 = r->w1;
    if (r->h2 == kDefaultExtent) r->h2 = r->h1;
    if (r->w1 < 1 || r->w2 < 1 || r->h1 < 1 || r->h2 < 1) return false;
    // One axis at a time: destination position and size, source start and
    // size, picture size.
    auto clip = [](int &dest, int &destSize, int &src, int &srcSize, int size) {
        if (src < 0) {
            int shift = int(int64_t(-src) * destSize / srcSize);
            dest += shift;
            destSize -= shift;
            srcSize += src;
            src = 0;
        }
        if (src + srcSize > size) {
            destSize = srcSize > 0 ? int(int64_t(destSize) * (size - src) / srcSize) : 0;
            srcSize = size - src;
        }
    };
    clip(r->x, r->w1, r->sx, r->w2, pictureWidth);
    clip(r->y, r->h1, r->sy, r->h2, pictureHeight);
    return r->w1 >= 1 && r->h1 >= 1 && r->w2 >= 1 && r->h2 >= 1;
}

} // namespace graphics

extern "C" {

void RuntimeGraphicsClearRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                              int32_t height) {
    if (GraphicsGTK *b = Target(g)) b->ClearRect(x, y, width, height);
}

void RuntimeGraphicsDrawLine(RuntimeObject *g, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (GraphicsGTK *b = Target(g)) b->DrawLine(x1, y1, x2, y2);
}

void RuntimeGraphicsDrawOval(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                             int32_t height) {
    if (GraphicsGTK *b = Target(g)) b->DrawOval(x, y, width, height);
}

void RuntimeGraphicsDrawRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                             int32_t height) {
    if (GraphicsGTK *b = Target(g)) b->DrawRect(x, y, width, height);
}

void RuntimeGraphicsFillOval(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                             int32_t height) {
    if (GraphicsGTK *b = Target(g)) b->FillOval(x, y, width, height);
}

void RuntimeGraphicsFillRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                             int32_t height) {
    if (GraphicsGTK *b = Target(g)) b->FillRect(x, y, width, height);
}

void RuntimeGraphicsDrawRoundRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                                  int32_t height, int32_t arcWidth, int32_t arcHeight) {
    if (GraphicsGTK *b = Target(g)) b->DrawRoundRect(x, y, width, height, arcWidth, arcHeight);
}

void RuntimeGraphicsFillRoundRect(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                                  int32_t height, int32_t arcWidth, int32_t arcHeight) {
    if (GraphicsGTK *b = Target(g)) b->FillRoundRect(x, y, width, height, arcWidth, arcHeight);
}

void RuntimeGraphicsDrawPicture(RuntimeObject *g, RuntimeObject *image, int32_t x, int32_t y,
                                int32_t w1, int32_t h1, int32_t sx, int32_t sy, int32_t w2,
                                int32_t h2) {
    GraphicsGTK *b = Target(g);
    if (b == nullptr) return;
    if (image == nullptr) {
        RaiseNilObjectException();
        return;
    }
    GdkPixbuf *pixels = pictures::Image(image);
    if (pixels == nullptr) return;
    graphics::PictureRects r{x, y, w1, h1, sx, sy, w2, h2};
    if (graphics::ClipPictureRects(gdk_pixbuf_get_width(pixels), gdk_pixbuf_get_height(pixels), &r))
        b->DrawImage(pixels, r.x, r.y, r.w1, r.h1, r.sx, r.sy, r.w2, r.h2);
    g_object_unref(pixels);
}

void RuntimeGraphicsDrawStringCondensed(RuntimeObject *g, KESTstring *str, int32_t x, int32_t y,
                                        int32_t width, bool) {
    if (GraphicsGTK *b = Target(g)) b->DrawText(Utf8(str), x, y, width, AsGraphics(g)->underline);
}

int32_t RuntimeGraphicsStringWidth(RuntimeObject *g, KESTstring *text) {
    GraphicsGTK *b = Target(g);
    return b != nullptr ? b->TextWidth(Utf8(text)) : 0;
}

int32_t RuntimeGraphicsStringHeight(RuntimeObject *g, KESTstring *text, int32_t wrapWidth) {
    GraphicsGTK *b = Target(g);
    return b != nullptr ? b->TextHeight(Utf8(text), wrapWidth) : 0;
}

int32_t RuntimeGraphicsStringDirection(RuntimeObject *g, KESTstring *text) {
    if (Target(g) == nullptr) return -1;
    std::string utf8 = Utf8(text);
    // The direction of the first strong character; Pango still offers it,
    // marked as superseded by FriBidi, which GTK+ 2 does not give us.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    PangoDirection direction = pango_find_base_dir(utf8.c_str(), int(utf8.size()));
    G_GNUC_END_IGNORE_DEPRECATIONS
    switch (direction) {
    case PANGO_DIRECTION_LTR:
        return 0;
    case PANGO_DIRECTION_RTL:
        return 1;
    default:
        return -1;
    }
}

int32_t RuntimeGraphicsTextHeight(RuntimeObject *g) {
    GraphicsGTK *b = Target(g);
    return b != nullptr ? b->FontHeight() : 0;
}

int32_t RuntimeGraphicsTextAscent(RuntimeObject *g) {
    GraphicsGTK *b = Target(g);
    return b != nullptr ? b->FontAscent() : 0;
}

// Screen graphics have one page; printing is not supported.
void RuntimeGraphicsNextPage(RuntimeObject *g) {
    Target(g);
}

void graphicsDrawStopIcon(RuntimeObject *g, int32_t x, int32_t y) {
    if (GraphicsGTK *b = Target(g)) b->DrawStockIcon("gtk-dialog-error", x, y);
}

void graphicsDrawNoteIcon(RuntimeObject *g, int32_t x, int32_t y) {
    if (GraphicsGTK *b = Target(g)) b->DrawStockIcon("gtk-dialog-info", x, y);
}

void graphicsDrawCautionIcon(RuntimeObject *g, int32_t x, int32_t y) {
    if (GraphicsGTK *b = Target(g)) b->DrawStockIcon("gtk-dialog-warning", x, y);
}

uint32_t graphicsPixelGetter(RuntimeObject *g, int32_t x, int32_t y) {
    GraphicsGTK *b = Target(g);
    return b != nullptr ? b->Pixel(x, y) : 0;
}

void graphicsPixelSetter(RuntimeObject *g, int32_t x, int32_t y, uint32_t color) {
    if (GraphicsGTK *b = Target(g)) b->SetPixel(x, y, color);
}

void graphicsDrawPolygon(RuntimeObject *g, RuntimeArray *points) {
    Polygon(g, points, false);
}

void graphicsFillPolygon(RuntimeObject *g, RuntimeArray *points) {
    Polygon(g, points, true);
}

void RuntimeGraphicsDrawFocusRing(RuntimeObject *g, int32_t x, int32_t y, int32_t width,
                                  int32_t height) {
    if (GraphicsGTK *b = Target(g)) b->DrawFocusRing(x, y, width, height);
}

int32_t RuntimeGraphicsHandleGetter(RuntimeObject *g, int32_t type) {
    GraphicsGTK *b = Target(g);
    if (b == nullptr) return 0;
    if (type == 3) return int32_t(reinterpret_cast<intptr_t>(b->Drawable()));
    if (type == 4) return int32_t(reinterpret_cast<intptr_t>(b->GC()));
    return 0;
}

void RuntimeGraphicsDestructor(RuntimeObject *g) {
    GraphicsObject *o = AsGraphics(g);
    delete o->mImp;
    o->mImp = nullptr;
    RuntimeUnlockString(o->textFont);
    o->textFont = nullptr;
}

uint32_t graphicsForeColorGetter(RuntimeObject *g, int32_t) {
    return intGetter(g, KQ_GRAPHICS_FIELD(foreColor));
}

void graphicsForeColorSetter(RuntimeObject *g, int32_t, uint32_t color) {
    if (g == nullptr) return RaiseNilObjectException();
    AsGraphics(g)->foreColor = color;
    if (GraphicsGTK *b = AsGraphics(g)->mImp) b->SetForeColor(color);
}

int32_t graphicsWidthGetter(RuntimeObject *g, int32_t) {
    GraphicsGTK *b = Target(g);
    return b != nullptr ? b->Width() : 0;
}

int32_t graphicsHeightGetter(RuntimeObject *g, int32_t) {
    GraphicsGTK *b = Target(g);
    return b != nullptr ? b->Height() : 0;
}

KQ_GRAPHICS_ACCESSORS(TextFont, KESTstring *, stringGetter, stringSetter, textFont, ApplyFont)
KQ_GRAPHICS_ACCESSORS(TextSize, int32_t, intGetter, intSetter, textSize, ApplyFont)

int32_t graphicsCopiesGetter(RuntimeObject *g, int32_t) {
    return Target(g) != nullptr ? 1 : 0;
}

int32_t graphicsFirstPageGetter(RuntimeObject *g, int32_t) {
    return Target(g) != nullptr ? 1 : 0;
}

int32_t graphicsLastPageGetter(RuntimeObject *g, int32_t) {
    return Target(g) != nullptr ? 1 : 0;
}

KQ_GRAPHICS_ACCESSORS(Bold, bool, boolGetter, boolSetter, bold, ApplyFont)
KQ_GRAPHICS_ACCESSORS(Italic, bool, boolGetter, boolSetter, italic, ApplyFont)
KQ_GRAPHICS_ACCESSORS(Underline, bool, boolGetter, boolSetter, underline, ApplyNothing)
KQ_GRAPHICS_ACCESSORS(PenWidth, int32_t, intGetter, intSetter, penWidth, ApplyPen)
KQ_GRAPHICS_ACCESSORS(PenHeight, int32_t, intGetter, intSetter, penHeight, ApplyPen)
KQ_GRAPHICS_ACCESSORS(UseOldRenderer, bool, boolGetter, boolSetter, useOldRenderer, ApplyNothing)

} // extern "C"
