// Fonts of the GTK+ helper layer: the default font, Pango descriptions made
// from the panes' font records, and applying them to widgets.
#include "GTKHelper.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string gDefaultFamily = "Sans";
int gDefaultSize = 10;

// The Pango context's families, read once (the list is owned by this cache
// for the life of the process).
PangoFontFamily **gFamilies = nullptr;
int gFamilyCount = -1;

PangoContext *Context() {
    static PangoContext *context = gdk_pango_context_get();
    return context;
}

PangoFontFamily *FindFamily(const char *name) {
    if (gFamilyCount < 0) pango_context_list_families(Context(), &gFamilies, &gFamilyCount);
    for (int i = 0; i < gFamilyCount; ++i)
        if (g_ascii_strcasecmp(pango_font_family_get_name(gFamilies[i]), name) == 0)
            return gFamilies[i];
    return nullptr;
}

PangoFontDescription *Parse(const std::string &family, int size) {
    std::string text = family + " " + std::to_string(size);
    PangoFontDescription *desc = pango_font_description_from_string(text.c_str());
    if (desc != nullptr && pango_font_description_get_family(desc) == nullptr) {
        pango_font_description_free(desc);
        return nullptr;
    }
    return desc;
}

bool Loads(const PangoFontDescription *desc) {
    PangoFont *font = pango_context_load_font(Context(), desc);
    if (font == nullptr) return false;
    g_object_unref(font);
    return true;
}

// The description of a family at a size: the family's first face, or the
// name parsed, or the default family, whichever loads first.
PangoFontDescription *Describe(const std::string &family, int size) {
    PangoFontDescription *desc = nullptr;
    if (PangoFontFamily *found = FindFamily(family.c_str())) {
        PangoFontFace **faces = nullptr;
        int faceCount = 0;
        pango_font_family_list_faces(found, &faces, &faceCount);
        if (faceCount > 0) {
            desc = pango_font_face_describe(faces[0]);
            pango_font_description_set_size(desc, size * PANGO_SCALE);
        }
        g_free(faces);
    }
    if (desc == nullptr) desc = Parse(family, size);
    if (desc == nullptr) desc = Parse(gDefaultFamily, size);
    if (desc == nullptr || !Loads(desc)) {
        if (desc != nullptr) pango_font_description_free(desc);
        desc = pango_font_description_from_string(
            (gDefaultFamily + " " + std::to_string(size)).c_str());
    }
    return desc;
}

// The descriptions made so far, by family and size: the controls of a
// window share a handful of fonts, and finding, describing and loading one
// is far dearer than copying it. Forgotten when the default font changes;
// a program that uses more fonts than kept describes the others each time.
constexpr size_t kMostDescribed = 32;
struct Described {
    std::string family;
    int size;
    PangoFontDescription *desc;
};
std::vector<Described> gDescribed;

void ForgetDescribed() {
    for (Described &d : gDescribed)
        pango_font_description_free(d.desc);
    gDescribed.clear();
}

} // namespace

namespace gtkhelper {

const std::string &DefaultFamily() {
    return gDefaultFamily;
}

int DefaultSize() {
    return gDefaultSize;
}

void SetDefaultFontFrom(const char *fontName) {
    std::string text = fontName != nullptr ? fontName : "";
    size_t space = text.rfind(' ');
    std::string family = space == std::string::npos ? text : text.substr(0, space);
    int size = space == std::string::npos ? 0 : std::atoi(text.c_str() + space + 1);
    gDefaultFamily = family.empty() ? "Sans" : family;
    gDefaultSize = size == 0 ? 10 : size;
    ForgetDescribed();
}

PangoFontDescription *NewFontDescription(const FontRecord &font) {
    const char *name = kstr::Text(font.name);
    bool isDefault = *name == 0 || std::strcmp(name, "System") == 0;
    std::string family = isDefault ? gDefaultFamily : name;
    int size = font.size < 1 ? gDefaultSize : font.size - 2;

    PangoFontDescription *desc = nullptr;
    for (size_t i = 0; desc == nullptr && i < gDescribed.size(); ++i)
        if (gDescribed[i].size == size && gDescribed[i].family == family)
            desc = pango_font_description_copy(gDescribed[i].desc);
    if (desc == nullptr) {
        desc = Describe(family, size);
        if (gDescribed.size() < kMostDescribed)
            gDescribed.push_back({family, size, pango_font_description_copy(desc)});
    }
    pango_font_description_set_style(desc, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    return desc;
}

std::string LanguageFontName(const char *family) {
    if (family == nullptr || gDefaultFamily == family) return "System";
    return family;
}

int LanguageFontSize(int pangoPoints) {
    return pangoPoints + 2;
}

void ApplyFont(GtkWidget *widget, const FontRecord &font) {
    if (widget == nullptr) return;
    PangoFontDescription *desc = NewFontDescription(font);
    gtk_widget_modify_font(widget, desc);
    pango_font_description_free(desc);
    if (font.underline && GTK_IS_LABEL(widget)) UnderlineLabel(widget);
}

void UnderlineLabel(GtkWidget *label) {
    const gchar *text = gtk_label_get_text(GTK_LABEL(label));
    glong characters = text != nullptr ? g_utf8_strlen(text, -1) : 0;
    std::string pattern(size_t(characters), '_');
    gtk_label_set_pattern(GTK_LABEL(label), pattern.c_str());
}

} // namespace gtkhelper
