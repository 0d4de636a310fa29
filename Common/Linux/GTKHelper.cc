// The GTK+ helper layer (see GTKHelper.h): start-up, captions, colours,
// optional functions and the menu-bar height.
#include "GTKHelper.h"

#include <dlfcn.h>

namespace {

gtkhelper::DefaultColours gColours{};
int gMenuBarHeight = -1; // unknown until a menu bar has been allocated

// The library names of the optional functions, with the versioned name as
// the fallback where only the run-time library is installed.
struct LibrarySlot {
    const char *names[2];
    void *handle;
    bool tried;
};
LibrarySlot gLibraries[2] = {
    {{"libgtk-x11-2.0.so", "libgtk-x11-2.0.so.0"}, nullptr, false},
    {{"libgdk-x11-2.0.so", "libgdk-x11-2.0.so.0"}, nullptr, false},
};

} // namespace

namespace gtkhelper {

void Initialise() {
    gchar *fontName = nullptr;
    GtkSettings *settings = gtk_settings_get_default();
    if (settings != nullptr) g_object_get(settings, "gtk-font-name", &fontName, nullptr);
    SetDefaultFontFrom(fontName);
    g_free(fontName);

    GtkStyle *style = gtk_rc_get_style_by_paths(settings, nullptr, nullptr, GTK_TYPE_WIDGET);
    if (style == nullptr) style = gtk_widget_get_default_style();
    if (style != nullptr)
        gColours = {style->fg[GTK_STATE_NORMAL], style->bg[GTK_STATE_NORMAL],
                    style->text[GTK_STATE_NORMAL], style->base[GTK_STATE_NORMAL]};
}

const DefaultColours &Colours() {
    return gColours;
}

std::string MnemonicText(KESTstring *caption) {
    kstr::StringRef utf8(kstr::ToUTF8(caption));
    const char *text = kstr::Text(utf8.Get());
    std::string out;
    for (uint32_t i = 0, n = kstr::Length(utf8.Get()); i < n; ++i) {
        char c = text[i];
        if (c == '&' && i + 1 < n) {
            out += text[i + 1] == '&' ? '&' : '_';
            if (text[i + 1] == '&') ++i;
        } else if (c == '_') {
            out += "__";
        } else {
            out += c;
        }
    }
    return out;
}

void SetCaption(GtkWidget *label, KESTstring *caption, const FontRecord *font) {
    if (label == nullptr || !GTK_IS_LABEL(label)) return;
    gtk_label_set_text_with_mnemonic(GTK_LABEL(label), MnemonicText(caption).c_str());
    if (font != nullptr && font->underline) UnderlineLabel(label);
}

GdkColor ColorOf(uint32_t rgb) {
    GdkColor color{};
    color.red = guint16(((rgb >> 16) & 0xFF) * 257);
    color.green = guint16(((rgb >> 8) & 0xFF) * 257);
    color.blue = guint16((rgb & 0xFF) * 257);
    return color;
}

void *OptionalFunction(OptionalLibrary library, const char *symbol) {
    LibrarySlot &slot = gLibraries[library == OptionalLibrary::Gtk ? 0 : 1];
    if (!slot.tried) {
        slot.tried = true;
        for (const char *name : slot.names)
            if (slot.handle == nullptr) slot.handle = dlopen(name, RTLD_LAZY);
    }
    if (slot.handle == nullptr || symbol == nullptr) return nullptr;
    return dlsym(slot.handle, symbol);
}

int MenuBarHeight(GtkWidget *menuBar) {
    if (menuBar == nullptr || !gtk_widget_get_visible(menuBar)) return 0;
    if (gMenuBarHeight < 0) {
        GtkAllocation allocation;
        gtk_widget_get_allocation(menuBar, &allocation);
        if (allocation.height > 1) gMenuBarHeight = allocation.height;
    }
    return gMenuBarHeight < 0 ? 0 : gMenuBarHeight;
}

void RedrawNow(GtkWidget *widget, const GdkRectangle *area, bool erase) {
    GdkWindow *window = widget != nullptr ? gtk_widget_get_window(widget) : nullptr;
    if (window == nullptr) return;
    if (area != nullptr)
        gtk_widget_queue_draw_area(widget, area->x, area->y, area->width, area->height);
    else
        gtk_widget_queue_draw(widget);
    // A double-buffered exposure starts from the window's background; one
    // drawn straight onto the window starts from what it shows.
    gpointer owner = nullptr;
    gdk_window_get_user_data(window, &owner);
    GtkWidget *painter = erase || !GTK_IS_WIDGET(owner) ? nullptr : GTK_WIDGET(owner);
    bool buffered = painter != nullptr && gtk_widget_get_double_buffered(painter);
    if (!buffered) {
        gdk_window_process_updates(window, TRUE);
        return;
    }
    // A Paint handler may close the window meanwhile.
    g_object_ref(painter);
    gtk_widget_set_double_buffered(painter, FALSE);
    gdk_window_process_updates(window, TRUE);
    gtk_widget_set_double_buffered(painter, TRUE);
    g_object_unref(painter);
}

} // namespace gtkhelper
