// `Picture`: an image of the class library. A picture made from a bitmap
// resource holds the decoded image; one made with `New Picture(w, h, d)` or
// drawn into through its `Graphics` holds an off-screen pixmap, which is
// then what the picture shows.
//
// Picture record, instance size 40:
//
//   offset  field        property
//   24      image        the decoded image (GdkPixbuf), or null
//   28      pixmap       the off-screen pixmap (GdkPixmap), or null
//   32      transparent  Transparent: 1 makes white pixels transparent
//   36      depth        Depth
#pragma once

#include "RuntimeObject.h"

#include <gdk/gdk.h>

#include <cstddef>
#include <cstdint>

struct PictureObject {
    RuntimeObject header;
    GdkPixbuf *image;
    GdkPixmap *pixmap;
    int32_t transparent;
    int32_t depth;
};
static_assert(offsetof(PictureObject, image) == 24, "Picture.image");
static_assert(offsetof(PictureObject, pixmap) == 28, "Picture.pixmap");
static_assert(offsetof(PictureObject, transparent) == 32, "Picture.transparent");
static_assert(offsetof(PictureObject, depth) == 36, "Picture.depth");
static_assert(sizeof(PictureObject) == 40, "Picture instance size");

namespace pictures {

// Whether the object is a Picture (false for null).
bool IsPicture(RuntimeObject *object);

// A new picture showing `image` (a reference is taken); the caller owns it.
RuntimeObject *New(GdkPixbuf *image);

// What the picture shows now, with white made transparent when Transparent
// is 1: a new reference the caller releases, or null.
GdkPixbuf *Image(RuntimeObject *picture);

int Width(RuntimeObject *picture);
int Height(RuntimeObject *picture);

} // namespace pictures

extern "C" {
void PictureConstructor(RuntimeObject *picture, int32_t width, int32_t height, int32_t depth);
void RuntimePictureDestructor(RuntimeObject *picture);
int32_t pictureWidthGetter(RuntimeObject *picture, int32_t);
int32_t pictureHeightGetter(RuntimeObject *picture, int32_t);
int32_t PictureDepthGetter(RuntimeObject *picture, int32_t);
int32_t pictureTransparentGetter(RuntimeObject *picture, int32_t);
void pictureTransparentSetter(RuntimeObject *picture, int32_t, int32_t value);
RuntimeObject *pictureGraphicsGetter(RuntimeObject *picture, int32_t);
}
