// The class `Picture` (record in Picture.h) and the pictures the resource
// manager makes from bitmap resources.
#include "Picture.h"

#include "Graphics.h"
#include "ObjectDefinition.h"
#include "ResourceManagerCommon.h"
#include "RuntimeException.h"

namespace {

// The largest side of a picture made with New Picture.
constexpr int32_t kMaximumSide = 32767;

PictureObject *AsPicture(RuntimeObject *p) {
    return reinterpret_cast<PictureObject *>(p);
}

int SystemDepth() {
    return gdk_visual_get_system()->depth;
}

// A new off-screen pixmap of the system visual, filled white.
GdkPixmap *NewPixmap(int width, int height) {
    GdkPixmap *pixmap = gdk_pixmap_new(nullptr, width, height, SystemDepth());
    if (pixmap == nullptr) return nullptr;
    gdk_drawable_set_colormap(pixmap, gdk_colormap_get_system());
    GdkGC *gc = gdk_gc_new(pixmap);
    GdkColor white = {0, 0xFFFF, 0xFFFF, 0xFFFF};
    gdk_gc_set_rgb_fg_color(gc, &white);
    gdk_draw_rectangle(pixmap, gc, TRUE, 0, 0, width, height);
    g_object_unref(gc);
    return pixmap;
}

// The pixmap of the picture, made from its image on first use, so that the
// picture can be drawn into.
GdkPixmap *PixmapOf(PictureObject *p) {
    if (p->pixmap != nullptr || p->image == nullptr) return p->pixmap;
    int w = gdk_pixbuf_get_width(p->image), h = gdk_pixbuf_get_height(p->image);
    p->pixmap = NewPixmap(w, h);
    if (p->pixmap != nullptr)
        gdk_draw_pixbuf(p->pixmap, nullptr, p->image, 0, 0, 0, 0, w, h, GDK_RGB_DITHER_NONE, 0, 0);
    return p->pixmap;
}

RuntimeObject *PictureFromResource(GdkPixbuf *image) {
    return pictures::New(image);
}

// Bitmap resources become pictures as soon as this module is part of the
// runtime.
struct ResourcePictureRegistration {
    ResourcePictureRegistration() { SetResourcePictureFactory(PictureFromResource); }
} gResourcePictureRegistration;

const PropertyEntry kPictureProperties[] = {
    KQ_READONLY_PROPERTY("Width", &kTypeInteger, pictureWidthGetter, 0),
    KQ_READONLY_PROPERTY("Height", &kTypeInteger, pictureHeightGetter, 0),
    KQ_READONLY_PROPERTY("Depth", &kTypeInteger, PictureDepthGetter, 0),
    KQ_PROPERTY("Transparent", &kTypeInteger, pictureTransparentGetter, pictureTransparentSetter,
                0),
    KQ_READONLY_PROPERTY("Graphics", &GraphicsDefinition, pictureGraphicsGetter, 0),
};

const ParameterEntry kConstructorParameters[] = {KQ_PARAMETER("width", &kTypeInteger),
                                                 KQ_PARAMETER("height", &kTypeInteger),
                                                 KQ_PARAMETER("depth", &kTypeInteger)};
const MethodEntry kPictureMethods[] = {
    KQ_METHOD("Picture", nullptr, KQ_TABLE(kConstructorParameters), PictureConstructor),
};

const RuntimeClassDeclaration kPictureDeclaration = {"Picture",
                                                     nullptr,
                                                     sizeof(PictureObject),
                                                     KQ_GUI_ONLY,
                                                     false,
                                                     KQ_TABLE(kPictureProperties),
                                                     KQ_TABLE(kPictureMethods),
                                                     KQ_NO_TABLE,
                                                     KQ_NO_TABLE,
                                                     KQ_NO_TABLE,
                                                     KQ_NO_FUNCTION,
                                                     KQ_FUNCTION(RuntimePictureDestructor)};

} // namespace

ObjectDefinition PictureDefinition(&kPictureDeclaration);

namespace pictures {

bool IsPicture(RuntimeObject *object) {
    return definitions::IsA(object, &PictureDefinition);
}

RuntimeObject *New(GdkPixbuf *image) {
    RuntimeObject *object = definitions::Instantiate(&PictureDefinition);
    if (object == nullptr) return nullptr;
    PictureObject *p = AsPicture(object);
    p->image = image != nullptr ? GDK_PIXBUF(g_object_ref(image)) : nullptr;
    p->depth = image != nullptr ? gdk_pixbuf_get_n_channels(image) * 8 : 0;
    return object;
}

GdkPixbuf *Image(RuntimeObject *picture) {
    if (!IsPicture(picture)) return nullptr;
    PictureObject *p = AsPicture(picture);
    GdkPixbuf *pixels = nullptr;
    if (p->pixmap != nullptr) {
        int w = 0, h = 0;
        gdk_drawable_get_size(p->pixmap, &w, &h);
        pixels = gdk_pixbuf_get_from_drawable(nullptr, p->pixmap, nullptr, 0, 0, 0, 0, w, h);
    } else if (p->image != nullptr) {
        pixels = GDK_PIXBUF(g_object_ref(p->image));
    }
    if (pixels != nullptr && p->transparent == 1) {
        GdkPixbuf *masked = gdk_pixbuf_add_alpha(pixels, TRUE, 0xFF, 0xFF, 0xFF);
        g_object_unref(pixels);
        pixels = masked;
    }
    return pixels;
}

int Width(RuntimeObject *picture) {
    if (!IsPicture(picture)) return 0;
    PictureObject *p = AsPicture(picture);
    int w = 0, h = 0;
    if (p->pixmap != nullptr) gdk_drawable_get_size(p->pixmap, &w, &h);
    return p->pixmap != nullptr ? w : p->image != nullptr ? gdk_pixbuf_get_width(p->image) : 0;
}

int Height(RuntimeObject *picture) {
    if (!IsPicture(picture)) return 0;
    PictureObject *p = AsPicture(picture);
    int w = 0, h = 0;
    if (p->pixmap != nullptr) gdk_drawable_get_size(p->pixmap, &w, &h);
    return p->pixmap != nullptr ? h : p->image != nullptr ? gdk_pixbuf_get_height(p->image) : 0;
}

} // namespace pictures

extern "C" {

void PictureConstructor(RuntimeObject *picture, int32_t width, int32_t height, int32_t depth) {
    if (picture == nullptr) return RaiseNilObjectException();
    if (width < 1 || height < 1 || width > kMaximumSide || height > kMaximumSide) {
        exceptions::RaiseWithMessage(&OutOfBoundsExceptionDefinition,
                                     "A picture needs a width and a height from 1 to 32767.", 0);
        return;
    }
    PictureObject *p = AsPicture(picture);
    if (p->pixmap != nullptr) g_object_unref(p->pixmap);
    p->pixmap = NewPixmap(width, height);
    p->depth = depth;
}

void RuntimePictureDestructor(RuntimeObject *picture) {
    PictureObject *p = AsPicture(picture);
    if (p->image != nullptr) g_object_unref(p->image);
    if (p->pixmap != nullptr) g_object_unref(p->pixmap);
    p->image = nullptr;
    p->pixmap = nullptr;
}

int32_t pictureWidthGetter(RuntimeObject *picture, int32_t) {
    if (picture == nullptr) RaiseNilObjectException();
    return pictures::Width(picture);
}

int32_t pictureHeightGetter(RuntimeObject *picture, int32_t) {
    if (picture == nullptr) RaiseNilObjectException();
    return pictures::Height(picture);
}

int32_t PictureDepthGetter(RuntimeObject *picture, int32_t) {
    return intGetter(picture, offsetof(PictureObject, depth));
}

int32_t pictureTransparentGetter(RuntimeObject *picture, int32_t) {
    return intGetter(picture, offsetof(PictureObject, transparent));
}

void pictureTransparentSetter(RuntimeObject *picture, int32_t, int32_t value) {
    intSetter(picture, offsetof(PictureObject, transparent), value);
}

RuntimeObject *pictureGraphicsGetter(RuntimeObject *picture, int32_t) {
    if (picture == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    GdkPixmap *pixmap = PixmapOf(AsPicture(picture));
    if (pixmap == nullptr) return nullptr;
    int w = 0, h = 0;
    gdk_drawable_get_size(pixmap, &w, &h);
    return graphics::New(new GraphicsGTK(pixmap, 0, 0, w, h));
}

} // extern "C"
