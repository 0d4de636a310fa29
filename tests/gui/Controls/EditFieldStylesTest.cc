// Edit fields on a real window: styled runs of a multi-line field read back
// from the buffer's tags, positions checked against the widget's own layout,
// and Border, MultiLine, the scroll bars and AcceptTabs changed while the
// field is shown.
#include "ControlAccessors.h"
#include "EditField.h"
#include "GuiTest.h"
#include "Pane.h"
#include "RuntimeException.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

#include <set>

using kqtest::EventLog;
using Lines = std::vector<std::string>;

extern "C" {
void editMultiLineSetter(RuntimeObject *control, int32_t, bool value);
void editBorderSetter(RuntimeObject *control, int32_t, bool value);
void editScrollBarSetter(RuntimeObject *control, int32_t offset, bool value);
void editSelStartSetter(RuntimeObject *control, int32_t, int32_t value);
void editSelLengthSetter(RuntimeObject *control, int32_t, int32_t value);
int32_t editSelStartGetter(RuntimeObject *control, int32_t);
int32_t editSelLengthGetter(RuntimeObject *control, int32_t);
}

namespace {

class EditFieldStyles : public kqtest::WindowTest {
  protected:
    RuntimeObject *Shown(const std::function<void(RuntimeObject *)> &add) {
        static RuntimeClass *cls = kqtest::ImageWindowClass("Fenster", {});
        return kqtest::ShownWindow(cls, add);
    }
};

RuntimeObject *Memo(RuntimeObject *window, const char *name, int width, int height,
                    std::initializer_list<const char *> handled = {}) {
    RuntimeObject *field =
        kqtest::NewRuntimeControl(&EditFieldDefinition, name, 10, 10, width, height, handled);
    editMultiLineSetter(field, 0, true);
    return kqtest::AddControl(window, field);
}

void Select(RuntimeObject *field, int start, int length) {
    editSelStartSetter(field, 0, start);
    editSelLengthSetter(field, 0, length);
}

GtkTextView *ViewOf(RuntimeObject *field) {
    GtkWidget *scrolled = kqtest::WidgetOf(field);
    return GTK_TEXT_VIEW(gtk_bin_get_child(GTK_BIN(scrolled)));
}

// What the buffer's tags give the character at an offset.
struct DrawnStyle {
    int weight = PANGO_WEIGHT_NORMAL, size = 0;
    bool underlined = false;
    std::string family;
    uint16_t red = 0;
};

DrawnStyle DrawnAt(RuntimeObject *field, int offset) {
    GtkTextBuffer *buffer = gtk_text_view_get_buffer(ViewOf(field));
    GtkTextIter iter;
    gtk_text_buffer_get_iter_at_offset(buffer, &iter, offset);
    DrawnStyle drawn;
    GSList *tags = gtk_text_iter_get_tags(&iter);
    for (GSList *t = tags; t != nullptr; t = t->next) {
        gboolean weightSet, sizeSet, underlineSet, familySet, foregroundSet;
        g_object_get(t->data, "weight-set", &weightSet, "size-set", &sizeSet, "underline-set",
                     &underlineSet, "family-set", &familySet, "foreground-set", &foregroundSet,
                     nullptr);
        if (weightSet) g_object_get(t->data, "weight", &drawn.weight, nullptr);
        if (sizeSet) g_object_get(t->data, "size", &drawn.size, nullptr);
        drawn.underlined = drawn.underlined || underlineSet;
        if (familySet) {
            gchar *family;
            g_object_get(t->data, "family", &family, nullptr);
            drawn.family = family;
            g_free(family);
        }
        if (foregroundSet) {
            GdkColor *colour;
            g_object_get(t->data, "foreground-gdk", &colour, nullptr);
            drawn.red = colour->red;
            gdk_color_free(colour);
        }
    }
    g_slist_free(tags);
    return drawn;
}

std::string StyleData(RuntimeObject *field) {
    kstr::StringRef data(editTextStyleDataGetter(field, 0));
    return kstr::Text(data.Get());
}

// The centre of a character of a multi-line field, relative to the field,
// from the text view's layout.
void CharacterCentre(RuntimeObject *field, int offset, int *x, int *y, int *lineY = nullptr) {
    GtkTextView *view = ViewOf(field);
    GtkTextIter iter;
    gtk_text_buffer_get_iter_at_offset(gtk_text_view_get_buffer(view), &iter, offset);
    GdkRectangle r;
    gtk_text_view_get_iter_location(view, &iter, &r);
    if (lineY != nullptr) *lineY = r.y;
    int wx, wy;
    gtk_text_view_buffer_to_window_coords(view, GTK_TEXT_WINDOW_WIDGET, r.x + r.width / 2,
                                          r.y + r.height / 2, &wx, &wy);
    gtk_widget_translate_coordinates(GTK_WIDGET(view), kqtest::WidgetOf(field), wx, wy, x, y);
}

} // namespace

TEST_F(EditFieldStyles, SelectionStylesAreTagsOfTheSelectedCharacters) {
    RuntimeObject *memo = nullptr, *copy = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        memo = Memo(w, "Notiz", 300, 80);
        copy = Memo(w, "Kopie", 300, 80);
    });
    kqtest::SetEditText(memo, "Preis netto brutto");
    Select(memo, 6, 5);
    editSelBoldSetter(memo, 0, true);
    editSelUnderlineSetter(memo, 0, true);
    editSelTextColorSetter(memo, 0, 0xFF0000);
    editSelTextSizeSetter(memo, 0, 14);
    kstr::StringRef serif(kstr::FromC("Serif"));
    editSelTextFontSetter(memo, 0, serif.Get());

    DrawnStyle inside = DrawnAt(memo, 6), last = DrawnAt(memo, 10);
    EXPECT_EQ(inside.weight, PANGO_WEIGHT_BOLD);
    EXPECT_TRUE(inside.underlined);
    EXPECT_EQ(inside.red, 65535);
    EXPECT_EQ(inside.size, 12 * PANGO_SCALE) << "drawn two points smaller";
    EXPECT_EQ(inside.family, "Serif");
    EXPECT_EQ(last.weight, PANGO_WEIGHT_BOLD);
    for (int outside : {5, 11}) {
        DrawnStyle plain = DrawnAt(memo, outside);
        EXPECT_EQ(plain.weight, PANGO_WEIGHT_NORMAL) << outside;
        EXPECT_FALSE(plain.underlined) << outside;
        EXPECT_EQ(plain.family, "") << outside;
    }

    EXPECT_TRUE(editSelBoldGetter(memo, 0));
    EXPECT_EQ(editSelTextColorGetter(memo, 0), 0xFF0000u);
    EXPECT_EQ(editSelTextSizeGetter(memo, 0), 14);
    Select(memo, 3, 5); // half plain, half styled
    EXPECT_FALSE(editSelBoldGetter(memo, 0));
    EXPECT_FALSE(editSelPlainGetter(memo, 0));
    EXPECT_EQ(editSelTextSizeGetter(memo, 0), 0) << "mixed sizes: the field's own";
    Select(memo, 8, 0); // the insertion point reports the character before it
    EXPECT_TRUE(editSelUnderlineGetter(memo, 0));

    // Toggling a style the whole selection has removes it; else adds it.
    Select(memo, 3, 5);
    editToggleSelectionBold(memo);
    EXPECT_EQ(DrawnAt(memo, 3).weight, PANGO_WEIGHT_BOLD);
    EXPECT_TRUE(editSelBoldGetter(memo, 0));
    editToggleSelectionBold(memo);
    EXPECT_EQ(DrawnAt(memo, 7).weight, PANGO_WEIGHT_NORMAL);
    EXPECT_EQ(DrawnAt(memo, 9).weight, PANGO_WEIGHT_BOLD) << "outside the selection";
    EditSelAlignmentSetter(memo, 0, 3);
    EXPECT_EQ(EditSelAlignmentGetter(memo, 0), 3);

    // The runs as text carry everything to another field.
    std::string data = StyleData(memo);
    EXPECT_EQ(data, "6 - 0 - 3 \n2 u 14 FF0000 3 Serif\n3 bu 14 FF0000 3 Serif\n7 - 0 - 3 \n");
    kstr::StringRef text(kstr::FromC("Preis netto brutto"));
    kstr::StringRef styles(kstr::FromC(data.c_str()));
    editSetTextAndStyle(copy, text.Get(), styles.Get());
    EXPECT_EQ(StyleData(copy), data);
    EXPECT_EQ(DrawnAt(copy, 10).weight, PANGO_WEIGHT_BOLD);

    // Style data that does not fit the text changes nothing.
    for (const char *bad : {"18 - 0 - 0 \n1 - 0 - 0 \n", "18 x 0 - 0 \n", "18 - 0 red 0 \n"}) {
        kstr::StringRef wrong(kstr::FromC(bad));
        EXPECT_EQ(kqtest::CaughtClass([&] { editSetTextAndStyle(copy, text.Get(), wrong.Get()); }),
                  "UnsupportedFormatException")
            << bad;
        EXPECT_EQ(StyleData(copy), data) << bad;
    }
    kqtest::CloseWindow(window);
}

TEST_F(EditFieldStyles, PositionsFollowTheLaidOutText) {
    RuntimeObject *memo = nullptr, *field = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        memo = Memo(w, "Notiz", 90, 120);
        field = kqtest::AddControl(
            w, kqtest::NewRuntimeControl(&EditFieldDefinition, "Feld", 10, 140, 160, 26));
    });
    const char *words = "eins zwei drei vier fünf sechs";
    kqtest::SetEditText(memo, words);
    kqtest::SetEditText(field, words);
    kqtest::Settle();

    // Lines as shown: a new line starts wherever the layout puts a character
    // lower than the one before it.
    int line = 0, previousY = -1, count = int(g_utf8_strlen(words, -1));
    for (int i = 0; i < count; ++i) {
        int x, y, lineY;
        CharacterCentre(memo, i, &x, &y, &lineY);
        if (previousY >= 0 && lineY > previousY) {
            ++line;
            EXPECT_EQ(editCharPosAtLineNum(memo, line), i) << "line " << line;
        }
        previousY = lineY;
        EXPECT_EQ(editLineNumAtCharPos(memo, i), line) << "character " << i;
        EXPECT_EQ(editCharPosAtXY(memo, x, y), i) << "character " << i;
    }
    EXPECT_GE(line, 2) << "the narrow field wraps";
    EXPECT_EQ(editCharPosAtLineNum(memo, line + 1), -1);
    EXPECT_EQ(editCharPosAtLineNum(memo, -1), -1);

    // A point on the right half of a character puts the insertion point
    // after it, on the left half before it.
    int x, y;
    CharacterCentre(memo, 1, &x, &y);
    EXPECT_EQ(editInsertionPosAtXY(memo, x + 2, y), 2);
    EXPECT_EQ(editInsertionPosAtXY(memo, x - 2, y), 1);

    // The single-line field, from the entry's Pango layout.
    GtkEntry *entry = GTK_ENTRY(kqtest::WidgetOf(field));
    int left, top;
    gtk_entry_get_layout_offsets(entry, &left, &top);
    for (int i : {0, 5, 21}) {
        PangoRectangle r;
        int index = int(g_utf8_offset_to_pointer(words, i) - words);
        pango_layout_index_to_pos(gtk_entry_get_layout(entry),
                                  gtk_entry_text_index_to_layout_index(entry, index), &r);
        int cx = left + PANGO_PIXELS(r.x + r.width / 2),
            cy = top + PANGO_PIXELS(r.y + r.height / 2);
        EXPECT_EQ(editCharPosAtXY(field, cx, cy), i) << i;
        EXPECT_EQ(editInsertionPosAtXY(field, cx + 2, cy), i + 1) << i;
        EXPECT_EQ(editLineNumAtCharPos(field, i), 0);
    }
    kqtest::CloseWindow(window);
}

TEST_F(EditFieldStyles, ReshapingAShownFieldKeepsTextSelectionFocusAndHandlers) {
    RuntimeObject *field = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field =
            kqtest::AddControl(w, kqtest::NewRuntimeControl(&EditFieldDefinition, "Feld", 10, 10,
                                                            200, 60, {"TextChange", "LostFocus"}));
        kqtest::AddControl(
            w, kqtest::NewRuntimeControl(&EditFieldDefinition, "Weiter", 10, 90, 200, 26));
    });
    kqtest::SetEditText(field, "Grundpreis");
    RuntimeSetFocus(field);
    Select(field, 2, 4);
    Pane *pane = controls::PaneOf(field);
    EventLog().clear();

    editMultiLineSetter(field, 0, true);
    kqtest::Settle();
    GtkWidget *scrolled = kqtest::WidgetOf(field);
    ASSERT_TRUE(GTK_IS_SCROLLED_WINDOW(scrolled));
    EXPECT_EQ(controls::PaneOf(field), pane) << "the same pane: tab order and focus record";
    EXPECT_EQ(kqtest::EditText(field), "Grundpreis");
    EXPECT_EQ(editSelStartGetter(field, 0), 2);
    EXPECT_EQ(editSelLengthGetter(field, 0), 4);
    EXPECT_TRUE(gtk_widget_has_focus(GTK_WIDGET(ViewOf(field))));
    EXPECT_EQ(EventLog(), Lines{}) << "no TextChange and no LostFocus";
    GtkAllocation allocation;
    gtk_widget_get_allocation(scrolled, &allocation);
    EXPECT_EQ(allocation.width, 200);
    EXPECT_EQ(allocation.height, 60);

    // Typing still reaches the handlers; Tab is typed only with AcceptTabs.
    kqtest::PressKey(GDK_KEY_End);
    kqtest::PressKey('x');
    kqtest::Settle([field] { return kqtest::EditText(field) == "Grundpreisx"; });
    EXPECT_EQ(EventLog(), Lines{"Feld.TextChange"});
    constexpr int32_t kAcceptTabsField = offsetof(EditFieldObject, acceptTabs);
    boolSetter(field, kAcceptTabsField, true);
    kqtest::PressKey(GDK_KEY_Tab);
    kqtest::Settle([field] { return kqtest::EditText(field) == "Grundpreisx\t"; });
    EXPECT_EQ(kqtest::EditText(field), "Grundpreisx\t");
    boolSetter(field, kAcceptTabsField, false);
    kqtest::PressKey(GDK_KEY_Tab);
    kqtest::Settle([] { return !kqtest::LogLines("Feld.LostFocus").empty(); });
    EXPECT_EQ(kqtest::LogLines("Feld.LostFocus").size(), 1u) << "Tab moved the focus on";

    // Border and scroll bars change the widget in place.
    editBorderSetter(field, 0, false);
    editScrollBarSetter(field, offsetof(EditFieldObject, scrollBarHorizontal), true);
    EXPECT_EQ(kqtest::WidgetOf(field), scrolled);
    EXPECT_EQ(gtk_scrolled_window_get_shadow_type(GTK_SCROLLED_WINDOW(scrolled)), GTK_SHADOW_NONE);
    GtkPolicyType horizontal, vertical;
    gtk_scrolled_window_get_policy(GTK_SCROLLED_WINDOW(scrolled), &horizontal, &vertical);
    EXPECT_EQ(horizontal, GTK_POLICY_AUTOMATIC);
    EXPECT_EQ(vertical, GTK_POLICY_AUTOMATIC);

    // And back to one line: the entry has the text, without a frame.
    editMultiLineSetter(field, 0, false);
    GtkWidget *entry = kqtest::WidgetOf(field);
    ASSERT_TRUE(GTK_IS_ENTRY(entry));
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(entry)), "Grundpreisx\t");
    EXPECT_FALSE(gtk_entry_get_has_frame(GTK_ENTRY(entry)));
    EXPECT_TRUE(gtk_widget_get_visible(entry));
    kqtest::CloseWindow(window);
}
