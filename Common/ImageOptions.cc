// Applying the image's options (see ImageOptions.h).
#include "ImageOptions.h"

#include "ImageRecords.h"
#include "ResourceManagerCommon.h"

#include <cstring>
#include <gtk/gtk.h>

namespace {

class OptionApplier : public kqimage::OptionVisitor {
  public:
    void Icon(uint32_t width, uint32_t height, const uint8_t *pixels) override {
        GdkPixbuf *icon = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, int(width), int(height));
        if (icon == nullptr) return;
        guchar *rows = gdk_pixbuf_get_pixels(icon);
        int stride = gdk_pixbuf_get_rowstride(icon);
        for (uint32_t y = 0; y < height; ++y)
            std::memcpy(rows + y * stride, pixels + y * width * 4, width * 4);
        icons = g_list_prepend(icons, icon);
    }
    void Version(const uint8_t *record, uint32_t length) override {
        TheResourceManager().Add(kqimage::kResourceVersion, 0, record, length, 0);
    }
    GList *icons = nullptr;
};

} // namespace

void ApplyImageOptions(const uint8_t *options, uint32_t length) {
    OptionApplier applier;
    kqimage::ForEachOption(options, length, applier);
    if (applier.icons != nullptr) {
        gtk_window_set_default_icon_list(applier.icons);
        for (GList *l = applier.icons; l != nullptr; l = l->next)
            g_object_unref(l->data);
        g_list_free(applier.icons);
    }
}
