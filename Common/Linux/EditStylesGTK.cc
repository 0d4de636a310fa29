// Styled text of the edit pane (see EditControlGTK.h): character styles,
// fonts, sizes, colours and paragraph alignment as tags of a multi-line
// field's buffer, read and written as style runs (EditStyleRuns.h).
//
// Tags are named for what they carry: the seven style names of
// EditStyleRuns.h, "font <family>", "size <size>", "color RRGGBB", and the
// justification tags "left justify", "center", "right justify" that the
// pane makes with its buffer. Tags are made when first used.
#include "EditControlGTK.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char *const kAlignmentTags[] = {nullptr, "left justify", "center", "right justify"};
const char kFontPrefix[] = "font ", kSizePrefix[] = "size ", kColourPrefix[] = "color ";

bool StartsWith(const char *text, const char *prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The tag of that name, made with what it carries when it is new.
GtkTextTag *Tag(GtkTextBuffer *buffer, const std::string &name) {
    GtkTextTagTable *table = gtk_text_buffer_get_tag_table(buffer);
    if (GtkTextTag *tag = gtk_text_tag_table_lookup(table, name.c_str())) return tag;
    GtkTextTag *tag = gtk_text_buffer_create_tag(buffer, name.c_str(), nullptr);
    const char *text = name.c_str();
    if (StartsWith(text, kFontPrefix)) {
        g_object_set(tag, "family", text + std::strlen(kFontPrefix), nullptr);
    } else if (StartsWith(text, kSizePrefix)) {
        // Sizes are the language's: GTK+ draws them two points smaller.
        int size = std::atoi(text + std::strlen(kSizePrefix)) - 2;
        g_object_set(tag, "size", (size < 1 ? 1 : size) * PANGO_SCALE, nullptr);
    } else if (StartsWith(text, kColourPrefix)) {
        std::string colour = std::string("#") + (text + std::strlen(kColourPrefix));
        g_object_set(tag, "foreground", colour.c_str(), nullptr);
    } else if (name == "condense") {
        g_object_set(tag, "stretch", PANGO_STRETCH_CONDENSED, nullptr);
    } else if (name == "extend") {
        g_object_set(tag, "stretch", PANGO_STRETCH_EXPANDED, nullptr);
    }
    // "outline" and "shadow" are kept and reported; Pango draws neither.
    return tag;
}

std::string SizeTag(int size) {
    return kSizePrefix + std::to_string(size);
}

std::string ColourTag(uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "%s%06X", kColourPrefix, colour & 0xFFFFFF);
    return text;
}

// The style of the character at an iterator, from its tags.
EditStyleRun StyleAt(const GtkTextIter &iter) {
    EditStyleRun style;
    GSList *tags = gtk_text_iter_get_tags(&iter);
    for (GSList *t = tags; t != nullptr; t = t->next) {
        gchar *name = nullptr;
        g_object_get(t->data, "name", &name, nullptr);
        if (name == nullptr) continue;
        for (int i = 0; i < kEditStyleCount; ++i)
            if (std::strcmp(name, kEditStyleNames[i]) == 0) style.styles |= uint8_t(1u << i);
        for (int a = 1; a < 4; ++a)
            if (std::strcmp(name, kAlignmentTags[a]) == 0) style.alignment = a;
        if (StartsWith(name, kFontPrefix)) style.font = name + std::strlen(kFontPrefix);
        if (StartsWith(name, kSizePrefix)) style.size = std::atoi(name + std::strlen(kSizePrefix));
        if (StartsWith(name, kColourPrefix)) {
            style.coloured = true;
            style.colour = uint32_t(std::strtoul(name + std::strlen(kColourPrefix), nullptr, 16));
        }
        g_free(name);
    }
    g_slist_free(tags);
    return style;
}

// The runs of equal style between two iterators.
std::vector<EditStyleRun> RunsOf(GtkTextIter from, const GtkTextIter &to) {
    std::vector<EditStyleRun> runs;
    while (gtk_text_iter_compare(&from, &to) < 0) {
        EditStyleRun run = StyleAt(from);
        GtkTextIter next = from;
        gtk_text_iter_forward_to_tag_toggle(&next, nullptr);
        if (gtk_text_iter_compare(&next, &to) > 0) next = to;
        run.length = gtk_text_iter_get_offset(&next) - gtk_text_iter_get_offset(&from);
        if (!runs.empty() && runs.back().SameStyle(run))
            runs.back().length += run.length;
        else
            runs.push_back(run);
        from = next;
    }
    return runs;
}

// Removes the tags whose names start with `prefix` from a range.
void RemoveTags(GtkTextBuffer *buffer, const char *prefix, GtkTextIter *from, GtkTextIter *to) {
    struct Removal {
        GtkTextBuffer *buffer;
        const char *prefix;
        GtkTextIter *from, *to;
    } removal{buffer, prefix, from, to};
    gtk_text_tag_table_foreach(
        gtk_text_buffer_get_tag_table(buffer),
        [](GtkTextTag *tag, gpointer data) {
            auto *r = static_cast<Removal *>(data);
            gchar *name = nullptr;
            g_object_get(tag, "name", &name, nullptr);
            if (name != nullptr && StartsWith(name, r->prefix))
                gtk_text_buffer_remove_tag(r->buffer, tag, r->from, r->to);
            g_free(name);
        },
        &removal);
}

// Gives a range one tag of a kind (prefix): the others of the kind go, and
// an empty name leaves none.
void ReplaceTag(GtkTextBuffer *buffer, const char *prefix, const std::string &name,
                GtkTextIter *from, GtkTextIter *to) {
    RemoveTags(buffer, prefix, from, to);
    if (!name.empty()) gtk_text_buffer_apply_tag(buffer, Tag(buffer, name), from, to);
}

void ApplyRun(GtkTextBuffer *buffer, const EditStyleRun &run, GtkTextIter *from, GtkTextIter *to) {
    for (int i = 0; i < kEditStyleCount; ++i)
        if (run.styles & (1u << i))
            gtk_text_buffer_apply_tag(buffer, Tag(buffer, kEditStyleNames[i]), from, to);
    if (!run.font.empty())
        gtk_text_buffer_apply_tag(buffer, Tag(buffer, kFontPrefix + run.font), from, to);
    if (run.size > 0) gtk_text_buffer_apply_tag(buffer, Tag(buffer, SizeTag(run.size)), from, to);
    if (run.coloured)
        gtk_text_buffer_apply_tag(buffer, Tag(buffer, ColourTag(run.colour)), from, to);
    if (run.alignment > 0)
        gtk_text_buffer_apply_tag_by_name(buffer, kAlignmentTags[run.alignment], from, to);
}

// What all characters of a range share: the styles every one has and those
// some have, and the font, size and colour when they are the same for all.
struct SharedStyle {
    uint8_t every = 0, some = 0;
    EditStyleRun common;
};

SharedStyle Shared(const GtkTextIter &from, const GtkTextIter &to) {
    SharedStyle shared;
    std::vector<EditStyleRun> runs = RunsOf(from, to);
    if (runs.empty()) return shared;
    shared.common = runs.front();
    shared.every = 0x7F;
    for (const EditStyleRun &run : runs) {
        shared.every &= run.styles;
        shared.some |= run.styles;
        if (run.font != shared.common.font) shared.common.font.clear();
        if (run.size != shared.common.size) shared.common.size = 0;
        if (run.coloured != shared.common.coloured || run.colour != shared.common.colour)
            shared.common.coloured = false;
    }
    return shared;
}

} // namespace

bool EditControlGTK::StyledRange(GtkTextIter *from, GtkTextIter *to, bool forChange) const {
    if (mTextView == nullptr) return false;
    GtkTextBuffer *buffer = Buffer();
    if (gtk_text_buffer_get_selection_bounds(buffer, from, to)) return true;
    // Nothing selected: a change needs a selection; asking looks at the
    // character before the insertion point (or the first one).
    if (forChange) return false;
    if (gtk_text_iter_is_start(from))
        gtk_text_iter_forward_char(to);
    else
        gtk_text_iter_backward_char(from);
    return gtk_text_iter_compare(from, to) < 0;
}

void EditControlGTK::SelectionStyles(uint8_t *every, uint8_t *some) const {
    GtkTextIter from, to;
    SharedStyle shared;
    if (StyledRange(&from, &to, false)) shared = Shared(from, to);
    *every = shared.every;
    *some = shared.some;
}

void EditControlGTK::SetSelectionStyle(uint8_t styles, bool on) {
    GtkTextIter from, to;
    if (!StyledRange(&from, &to, true)) return;
    for (int i = 0; i < kEditStyleCount; ++i) {
        if (!(styles & (1u << i))) continue;
        GtkTextTag *tag = Tag(Buffer(), kEditStyleNames[i]);
        if (on)
            gtk_text_buffer_apply_tag(Buffer(), tag, &from, &to);
        else
            gtk_text_buffer_remove_tag(Buffer(), tag, &from, &to);
    }
}

std::string EditControlGTK::SelectionFont() const {
    GtkTextIter from, to;
    return StyledRange(&from, &to, false) ? Shared(from, to).common.font : std::string();
}

void EditControlGTK::SetSelectionFont(const std::string &family) {
    GtkTextIter from, to;
    if (StyledRange(&from, &to, true))
        ReplaceTag(Buffer(), kFontPrefix, family.empty() ? "" : kFontPrefix + family, &from, &to);
}

int EditControlGTK::SelectionSize() const {
    GtkTextIter from, to;
    return StyledRange(&from, &to, false) ? Shared(from, to).common.size : 0;
}

void EditControlGTK::SetSelectionSize(int size) {
    GtkTextIter from, to;
    if (StyledRange(&from, &to, true))
        ReplaceTag(Buffer(), kSizePrefix, size > 0 ? SizeTag(size) : "", &from, &to);
}

bool EditControlGTK::SelectionColour(uint32_t *colour) const {
    GtkTextIter from, to;
    if (!StyledRange(&from, &to, false)) return false;
    EditStyleRun common = Shared(from, to).common;
    *colour = common.colour;
    return common.coloured;
}

void EditControlGTK::SetSelectionColour(uint32_t colour) {
    GtkTextIter from, to;
    if (StyledRange(&from, &to, true))
        ReplaceTag(Buffer(), kColourPrefix, ColourTag(colour), &from, &to);
}

int EditControlGTK::SelectionAlignment() const {
    GtkTextIter from, to;
    return StyledRange(&from, &to, false) ? StyleAt(from).alignment : 0;
}

void EditControlGTK::SetSelectionAlignment(int alignment) {
    if (mTextView == nullptr || alignment < 0 || alignment > 3) return;
    // Whole paragraphs: from the start of the first line the selection
    // touches to the end of its last.
    GtkTextIter from, to;
    gtk_text_buffer_get_selection_bounds(Buffer(), &from, &to);
    gtk_text_iter_set_line_offset(&from, 0);
    if (!gtk_text_iter_ends_line(&to)) gtk_text_iter_forward_to_line_end(&to);
    for (int a = 1; a < 4; ++a)
        gtk_text_buffer_remove_tag_by_name(Buffer(), kAlignmentTags[a], &from, &to);
    if (alignment > 0)
        gtk_text_buffer_apply_tag_by_name(Buffer(), kAlignmentTags[alignment], &from, &to);
}

std::vector<EditStyleRun> EditControlGTK::StyleRuns() const {
    if (mTextView == nullptr) {
        EditStyleRun plain;
        plain.length = TextLength();
        return plain.length > 0 ? std::vector<EditStyleRun>{plain} : std::vector<EditStyleRun>{};
    }
    GtkTextIter from, to;
    gtk_text_buffer_get_bounds(Buffer(), &from, &to);
    return RunsOf(from, to);
}

bool EditControlGTK::ApplyStyleRuns(const std::vector<EditStyleRun> &runs) {
    int64_t covered = 0;
    for (const EditStyleRun &run : runs)
        covered += run.length;
    if (covered != TextLength()) return false;
    if (mTextView == nullptr) return true;
    GtkTextBuffer *buffer = Buffer();
    GtkTextIter from, to;
    gtk_text_buffer_get_bounds(buffer, &from, &to);
    gtk_text_buffer_remove_all_tags(buffer, &from, &to);
    for (const EditStyleRun &run : runs) {
        to = from;
        gtk_text_iter_forward_chars(&to, run.length);
        ApplyRun(buffer, run, &from, &to);
        from = to;
    }
    return true;
}
