// ResourceManagerElf, this runtime's resource manager: the conversions of
// resource payloads into objects of the class library.
#include "ResourceManagerCommon.h"

#include "KESTstring.h"
#include "RuntimeErrorReport.h"
#include "TextEncodingUtil.h"

#include <cstring>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>

namespace {

const char kSource[] = "Common/ResourceManagerElf";

PictureFactory gPictureFactory = nullptr;
CursorFactory gCursorFactory = nullptr;

// Conversions whose classes do not exist yet: a resource of that type and id
// is reported, and the result is nil either way.
RuntimeObject *Unavailable(const ResourceManager &manager, uint32_t type, uint16_t id,
                           const char *className);

void ReportUnavailable(const char *className) {
    char message[160];
    std::snprintf(message, sizeof message, "The class %s is not available in this runtime yet",
                  className);
    RuntimeErrorReport(kRuntimeErrorUnknownClass, kSource, __LINE__, className, message);
}

uint8_t ReverseBits(uint8_t b) {
    b = uint8_t((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = uint8_t((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return uint8_t((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

class ResourceManagerElf : public ResourceManager {
  public:
    RuntimeObject *DatabaseFromResource(uint16_t id) override {
        return Unavailable(*this, kqimage::kResourceDatabase, id, "Database");
    }

    RuntimeObject *PictureFromResource(uint16_t id) override {
        ResourceEntry e = Find(kqimage::kResourceBitmap, id);
        if (e.data == nullptr) return nullptr;
        GdkPixbuf *image = DecodeBitmapResource(e.data, e.length);
        if (image == nullptr) return nullptr;
        RuntimeObject *picture = nullptr;
        if (gPictureFactory != nullptr)
            picture = gPictureFactory(image);
        else
            ReportUnavailable("Picture");
        g_object_unref(image);
        return picture;
    }

    KESTstring *TextFromResource(uint16_t id) override {
        ResourceEntry e = Find(kqimage::kResourceText, id);
        if (e.data == nullptr) return nullptr;
        return kstr::Make(e.data, e.length, textenc::SystemEncoding());
    }

    RuntimeObject *MovieFromResource(uint16_t id) override {
        return Unavailable(*this, kqimage::kResourceMovie, id, "Movie");
    }

    RuntimeObject *CursorFromResource(uint16_t id) override {
        ResourceEntry e = Find(kqimage::kResourceCursor, id);
        if (e.data == nullptr) return nullptr;
        if (gCursorFactory == nullptr) {
            ReportUnavailable("MouseCursor");
            return nullptr;
        }
        uint8_t payload[68] = {}; // a shorter payload reads as zeros
        std::memcpy(payload, e.data, e.length < 68 ? e.length : 68);
        uint8_t image[32], mask[32];
        int hotX, hotY;
        PrepareCursorBits(payload, image, mask, &hotX, &hotY);
        GdkPixmap *source =
            gdk_bitmap_create_from_data(nullptr, reinterpret_cast<gchar *>(image), 16, 16);
        GdkPixmap *shape =
            gdk_bitmap_create_from_data(nullptr, reinterpret_cast<gchar *>(mask), 16, 16);
        GdkColor black = {0, 0, 0, 0}, white = {0, 0xFFFF, 0xFFFF, 0xFFFF};
        GdkCursor *cursor =
            source != nullptr && shape != nullptr
                ? gdk_cursor_new_from_pixmap(source, shape, &black, &white, hotX, hotY)
                : nullptr;
        if (source != nullptr) g_object_unref(source);
        if (shape != nullptr) g_object_unref(shape);
        return cursor != nullptr ? gCursorFactory(cursor, id) : nullptr;
    }

    RuntimeObject *SoundFromResource(uint16_t id) override {
        return Unavailable(*this, kqimage::kResourceSound, id, "Sound");
    }
};

RuntimeObject *Unavailable(const ResourceManager &manager, uint32_t type, uint16_t id,
                           const char *className) {
    if (manager.Find(type, id).data != nullptr) ReportUnavailable(className);
    return nullptr;
}

} // namespace

GdkPixbuf *DecodeBitmapResource(const uint8_t *payload, uint32_t length) {
    GdkPixbufLoader *loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
    if (loader == nullptr) return nullptr;
    bool ok = gdk_pixbuf_loader_write(loader, payload, length, nullptr);
    ok = gdk_pixbuf_loader_close(loader, nullptr) && ok;
    GdkPixbuf *image = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    if (image != nullptr) g_object_ref(image);
    g_object_unref(loader);
    return image;
}

void PrepareCursorBits(const uint8_t payload[68], uint8_t image[32], uint8_t mask[32], int *hotX,
                       int *hotY) {
    for (int i = 0; i < 32; ++i) {
        image[i] = ReverseBits(payload[i]);
        mask[i] = ReverseBits(payload[32 + i]);
    }
    *hotY = int16_t(payload[64] << 8 | payload[65]);
    *hotX = int16_t(payload[66] << 8 | payload[67]);
}

void SetResourcePictureFactory(PictureFactory factory) {
    gPictureFactory = factory;
}

void SetResourceCursorFactory(CursorFactory factory) {
    gCursorFactory = factory;
}

ResourceManager &TheResourceManager() {
    static ResourceManagerElf *manager = new ResourceManagerElf; // lives until the process ends
    return *manager;
}
