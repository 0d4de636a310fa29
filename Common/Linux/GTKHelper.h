// The GTK+ helper layer: free functions shared by every native pane and
// window. Fonts from the font records the panes pass, label captions with
// mnemonics and underlining, colours, the default font and colours read at
// start-up, optional GTK+/GDK functions looked up at run time, and the
// height of a window's menu bar. Main thread only; the few caches are plain
// globals.
#pragma once

#include "KESTstring.h"

#include <gtk/gtk.h>

#include <cstdint>
#include <string>

// The source name that this layer's reports carry.
#define KQ_GTKHELPER_SOURCE "Common/Linux/GTKHelper"

// A font as the panes describe it: the name (null, "" or "System" for the
// default family), three style bytes and the size in the language's points
// (below 1 for the default size).
struct FontRecord {
    KESTstring *name;
    uint8_t bold;
    uint8_t italic;
    uint8_t underline;
    int16_t size;
};

namespace gtkhelper {

// Once, after gtk_init: reads the default font from the "gtk-font-name"
// setting and the default colours of the style for GtkWidget.
void Initialise();

// The default font family ("Sans" when GTK+ names none) and size in points
// (10 when GTK+ names none).
const std::string &DefaultFamily();
int DefaultSize();

// Reads the default font from a "gtk-font-name" value such as "Sans 10":
// the family is the text before the last space, the size the number after
// it. Initialise() uses it; an empty family becomes "Sans", a size of 0 10.
void SetDefaultFontFrom(const char *fontName);

// A new Pango description for the record (the caller frees it): the family
// found among the Pango context's families, or parsed from the name, or the
// default family when neither yields a font that loads; the size is the
// record's minus 2 (the language counts two points more than GTK+), or the
// default size; italic and bold from the record.
PangoFontDescription *NewFontDescription(const FontRecord &font);

// What the language reads back for a Pango family and size in points:
// "System" for the default family, and the size plus 2.
std::string LanguageFontName(const char *family);
int LanguageFontSize(int pangoPoints);

// gtk_widget_modify_font with the record's description; then, when the
// record asks for underlining and the widget is a label, underlines it.
void ApplyFont(GtkWidget *widget, const FontRecord &font);

// Underlines every character of a label (one "_" per character).
void UnderlineLabel(GtkWidget *label);

// The caption in UTF-8 rewritten for gtk_label_set_text_with_mnemonic:
// "&&" is a literal "&", "&" before another character makes it the mnemonic
// ("_"), a literal "_" is doubled.
std::string MnemonicText(KESTstring *caption);

// Sets a label's text from a caption with its mnemonic; applies the font's
// underlining when `font` asks for it (null: none).
void SetCaption(GtkWidget *label, KESTstring *caption, const FontRecord *font);

// A language colour 0x00RRGGBB as a GDK colour (each component × 257).
GdkColor ColorOf(uint32_t rgb);

// The default colours of the style for GtkWidget in the normal state, read
// by Initialise(): foreground, background, text and base.
struct DefaultColours {
    GdkColor foreground, background, text, base;
};
const DefaultColours &Colours();

// Optional functions: library 0 is GTK+, 1 is GDK. Each library is opened
// on first use, once; a missing library or symbol yields null and the
// caller skips the feature.
enum class OptionalLibrary { Gtk = 0, Gdk = 1 };
void *OptionalFunction(OptionalLibrary library, const char *symbol);

// The height of a window's menu bar: taken from the widget's allocation the
// first time it is known, then cached for every window; 0 when there is no
// menu bar or it is hidden.
int MenuBarHeight(GtkWidget *menuBar);

// Draws part of a widget again at once: `area` as gtk_widget_queue_draw_area
// takes it, or the whole widget for null.
// With `erase` the exposure is an ordinary one; without it the area keeps
// what it shows and the widget's handlers draw over it: the widget that
// owns the GDK window draws this one update without double buffering, so
// nothing clears the area first. Nothing happens before the widget has a
// window.
void RedrawNow(GtkWidget *widget, const GdkRectangle *area, bool erase);

} // namespace gtkhelper
