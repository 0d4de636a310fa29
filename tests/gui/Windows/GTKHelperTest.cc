// The GTK+ helper layer: fonts from font records with the size rules,
// mnemonic captions and underlining, colours, the default font, optional
// functions, key values to characters with dead-key and compose sequences,
// key texts, and the rectangles of locked panes.
#include "GTKHelper.h"
#include "KeyTranslation.h"
#include "Pane.h"

#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

#include <cstdlib>
#include <string>

namespace {

class GTKHelper : public testing::Test {
  protected:
    void SetUp() override {
        setenv("KQ_ERROR_REPORT", "ok", 1);
        gtkhelper::Initialise();
    }
};

struct Described {
    std::string family;
    int points;
    PangoStyle style;
    PangoWeight weight;
};

Described Describe(const char *name, int16_t size, bool bold = false, bool italic = false) {
    kstr::StringRef text(kstr::FromC(name));
    FontRecord font{text.Get(), uint8_t(bold), uint8_t(italic), 0, size};
    PangoFontDescription *desc = gtkhelper::NewFontDescription(font);
    Described d{pango_font_description_get_family(desc),
                pango_font_description_get_size(desc) / PANGO_SCALE,
                pango_font_description_get_style(desc), pango_font_description_get_weight(desc)};
    pango_font_description_free(desc);
    return d;
}

std::string Mnemonic(const char *caption) {
    kstr::StringRef text(kstr::FromC(caption));
    return gtkhelper::MnemonicText(text.Get());
}

std::string KeyText(uint32_t keyval) {
    kstr::StringRef text(keys::KeyText(keyval, keys::DirectCharacter(keyval)));
    return text.Get() != nullptr ? kstr::Text(text.Get()) : "<none>";
}

} // namespace

TEST_F(GTKHelper, DefaultFontComesFromTheSettingWithFallbacks) {
    gtkhelper::SetDefaultFontFrom("DejaVu Sans Mono 11");
    EXPECT_EQ(gtkhelper::DefaultFamily(), "DejaVu Sans Mono");
    EXPECT_EQ(gtkhelper::DefaultSize(), 11);
    gtkhelper::SetDefaultFontFrom("");
    EXPECT_EQ(gtkhelper::DefaultFamily(), "Sans");
    EXPECT_EQ(gtkhelper::DefaultSize(), 10);
    gtkhelper::SetDefaultFontFrom("Serif 0");
    EXPECT_EQ(gtkhelper::DefaultFamily(), "Serif");
    EXPECT_EQ(gtkhelper::DefaultSize(), 10);
}

TEST_F(GTKHelper, FontRecordsFollowTheSizeAndNameRules) {
    gtkhelper::SetDefaultFontFrom("DejaVu Sans 9");
    Described system = Describe("System", 0);
    EXPECT_EQ(system.family, "DejaVu Sans") << "System means the default family";
    EXPECT_EQ(system.points, 9) << "a size below 1 is the default size";
    EXPECT_EQ(Describe("", -3).points, 9);
    EXPECT_EQ(Describe("System", 12).points, 10) << "the language counts two points more";
    EXPECT_EQ(Describe("DejaVu Serif", 14).family, "DejaVu Serif");

    Described styled = Describe("System", 12, true, true);
    EXPECT_EQ(styled.style, PANGO_STYLE_ITALIC);
    EXPECT_EQ(styled.weight, PANGO_WEIGHT_BOLD);
    Described plain = Describe("System", 12);
    EXPECT_EQ(plain.style, PANGO_STYLE_NORMAL);
    EXPECT_EQ(plain.weight, PANGO_WEIGHT_NORMAL);

    EXPECT_EQ(gtkhelper::LanguageFontName("DejaVu Sans"), "System");
    EXPECT_EQ(gtkhelper::LanguageFontName("DejaVu Serif"), "DejaVu Serif");
    EXPECT_EQ(gtkhelper::LanguageFontSize(10), 12);
}

TEST_F(GTKHelper, FontOfALabelIsAppliedAndUnderlined) {
    GtkWidget *label = gtk_label_new("Preis");
    g_object_ref_sink(label);
    kstr::StringRef name(kstr::FromC("System"));
    gtkhelper::ApplyFont(label, FontRecord{name.Get(), 1, 0, 1, 14});
    const PangoFontDescription *desc = gtk_widget_get_modifier_style(label)->font_desc;
    EXPECT_EQ(pango_font_description_get_size(desc), 12 * PANGO_SCALE);
    EXPECT_EQ(pango_font_description_get_weight(desc), PANGO_WEIGHT_BOLD);
    PangoAttrList *attributes = gtk_label_get_attributes(GTK_LABEL(label));
    // The underline comes from the pattern, which the label turns into its
    // layout's attributes.
    PangoLayout *layout = gtk_label_get_layout(GTK_LABEL(label));
    PangoAttrIterator *it = pango_attr_list_get_iterator(pango_layout_get_attributes(layout));
    PangoAttribute *underline = pango_attr_iterator_get(it, PANGO_ATTR_UNDERLINE);
    EXPECT_NE(underline, nullptr);
    pango_attr_iterator_destroy(it);
    EXPECT_EQ(attributes, nullptr) << "nothing but the pattern was set";
    gtk_widget_destroy(label);
    g_object_unref(label);
}

TEST_F(GTKHelper, CaptionsTurnAmpersandsIntoMnemonics) {
    EXPECT_EQ(Mnemonic("&Datei"), "_Datei");
    EXPECT_EQ(Mnemonic("Preis && Menge"), "Preis & Menge");
    EXPECT_EQ(Mnemonic("snake_case"), "snake__case");
    EXPECT_EQ(Mnemonic("Ende&"), "Ende&");
    EXPECT_EQ(Mnemonic(""), "");

    GtkWidget *label = gtk_label_new("");
    g_object_ref_sink(label);
    kstr::StringRef caption(kstr::FromC("&Berechne && A_B"));
    gtkhelper::SetCaption(label, caption.Get(), nullptr);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), "Berechne & A_B");
    EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(label)), GDK_KEY_b);
    gtk_widget_destroy(label);
    g_object_unref(label);
}

TEST_F(GTKHelper, ColoursScaleEachComponentBy257) {
    GdkColor color = gtkhelper::ColorOf(0xFF8000);
    EXPECT_EQ(color.red, 65535);
    EXPECT_EQ(color.green, 32896);
    EXPECT_EQ(color.blue, 0);
    GdkColor black = gtkhelper::ColorOf(0xFF000000);
    EXPECT_EQ(black.red | black.green | black.blue, 0) << "the top byte is no colour";
    const gtkhelper::DefaultColours &colours = gtkhelper::Colours();
    EXPECT_NE(colours.foreground.red + colours.foreground.green + colours.foreground.blue,
              colours.background.red + colours.background.green + colours.background.blue)
        << "the style's colours were read";
}

TEST_F(GTKHelper, OptionalFunctionsAreFoundOrSkipped) {
    EXPECT_NE(
        gtkhelper::OptionalFunction(gtkhelper::OptionalLibrary::Gtk, "gtk_entry_set_alignment"),
        nullptr);
    EXPECT_NE(gtkhelper::OptionalFunction(gtkhelper::OptionalLibrary::Gdk, "gdk_beep"), nullptr);
    EXPECT_EQ(gtkhelper::OptionalFunction(gtkhelper::OptionalLibrary::Gtk, "gtk_no_such_thing"),
              nullptr);
}

TEST_F(GTKHelper, KeysBecomeCharactersOfTheRuntimeSet) {
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_a), 'a');
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_adiaeresis), 0xE4);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_Return), keys::kReturn);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_KP_Enter), keys::kEnter);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_ISO_Left_Tab), keys::kTab);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_KP_7), '7');
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_Left), keys::kLeftArrow);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_Shift_L), -1);
    EXPECT_EQ(keys::KeyToCharacter(0x20AC), -1) << "the euro sign is not in the set";
}

TEST_F(GTKHelper, DeadKeysAndTheComposeKeyMakeOneCharacter) {
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_dead_acute), -1);
    EXPECT_TRUE(keys::ComposePending());
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_e), 0xE9);
    EXPECT_FALSE(keys::ComposePending());

    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_dead_diaeresis), -1);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_space), 0xA8) << "the accent alone";

    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_dead_circumflex), -1);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_q), -1) << "no such sequence: a beep, nothing";
    EXPECT_FALSE(keys::ComposePending());
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_q), 'q') << "the next key is itself again";

    EXPECT_EQ(keys::KeyToCharacter(keys::kComposeKey), -1);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_s), -1) << "a beginning waits";
    EXPECT_TRUE(keys::ComposePending());
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_s), 0xDF);
    EXPECT_EQ(keys::KeyToCharacter(keys::kComposeKey), -1);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_quotedbl), -1);
    EXPECT_EQ(keys::KeyToCharacter(GDK_KEY_U), 0xDC);
}

TEST_F(GTKHelper, KeyTextsNameTheEditingAndFunctionKeys) {
    EXPECT_EQ(KeyText(GDK_KEY_F1), "F1");
    EXPECT_EQ(KeyText(GDK_KEY_F35), "F35");
    EXPECT_EQ(KeyText(GDK_KEY_Insert), "Ins");
    EXPECT_EQ(KeyText(GDK_KEY_KP_Delete), "Del");
    EXPECT_EQ(KeyText(GDK_KEY_BackSpace), "Bksp");
    EXPECT_EQ(KeyText(GDK_KEY_KP_Enter), "Enter");
    EXPECT_EQ(KeyText(GDK_KEY_Return), "Enter");
    EXPECT_EQ(KeyText(GDK_KEY_KP_Up), "Up Arrow");
    EXPECT_EQ(KeyText(GDK_KEY_Page_Down), "Page Down");
    EXPECT_EQ(KeyText(GDK_KEY_z), "z");
    EXPECT_EQ(KeyText(GDK_KEY_odiaeresis), "\xC3\xB6") << "the upper half as UTF-8";
    EXPECT_EQ(KeyText(GDK_KEY_Shift_R), "<none>");
    kstr::StringRef ascii(keys::KeyText(GDK_KEY_z, 'z'));
    EXPECT_EQ(ascii.Get()->encoding, kEncodingASCII);
}

TEST_F(GTKHelper, LockedRectanglesMoveOrStretchWithTheParent) {
    const PaneRect r{10, 20, 40, 120};
    EXPECT_EQ(ContainerPane::LockedRect(r, kLockLeft | kLockRight, 50, 30),
              (PaneRect{10, 20, 40, 170}));
    EXPECT_EQ(ContainerPane::LockedRect(r, kLockRight, 50, 30), (PaneRect{10, 70, 40, 170}));
    EXPECT_EQ(ContainerPane::LockedRect(r, kLockTop, 50, 30), r);
    EXPECT_EQ(ContainerPane::LockedRect(r, kLockLeft, 50, 30), r);
    EXPECT_EQ(ContainerPane::LockedRect(r, kLockBottom, -5, -8), (PaneRect{2, 20, 32, 120}));
    EXPECT_EQ(ContainerPane::LockedRect(r, kLockTop | kLockBottom, 0, 30),
              (PaneRect{10, 20, 70, 120}));
    EXPECT_EQ(ContainerPane::LockedRect({0, 32700, 10, 32760}, kLockRight, 100, 0).right,
              int16_t(32860))
        << "16-bit coordinates wrap";
}
