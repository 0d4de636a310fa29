// Edit fields on a real window with real typing (XTEST): TextChange once per
// change and never from inside itself, KeyDown before the key, the display
// format in both locales, LimitText, Password, the mask and the Edit
// commands.
#include "EditField.h"
#include "ControlAccessors.h"
#include "GuiTest.h"
#include "MenuDispatch.h"
#include "MenuItem.h"
#include "Pane.h"
#include "RuntimeException.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

#include <clocale>
#include <set>

using kqtest::EventLog;
using kqtest::LogLines;
using Lines = std::vector<std::string>;

extern "C" {
void editLimitTextSetter(RuntimeObject *control, int32_t, int32_t value);
void editPasswordSetter(RuntimeObject *control, int32_t, bool value);
void editMultiLineSetter(RuntimeObject *control, int32_t, bool value);
void EditMaskSetter(RuntimeObject *control, int32_t, KESTstring *value);
int32_t editSelStartGetter(RuntimeObject *control, int32_t);
int32_t editSelLengthGetter(RuntimeObject *control, int32_t);
void editAppendText(RuntimeObject *control, KESTstring *text);
void EditAlignmentSetter(RuntimeObject *control, int32_t, int32_t value);
void editTextColorSetter(RuntimeObject *control, int32_t, uint32_t value);
void editReadOnlySetter(RuntimeObject *control, int32_t, bool value);
void editBorderSetter(RuntimeObject *control, int32_t, bool value);
void editSelStartSetter(RuntimeObject *control, int32_t, int32_t value);
void pushButtonDefaultSetter(RuntimeObject *control, int32_t, bool value);
}

namespace {

// Fields of the records: an exception's Message, an edit field's Format
// and FormattedText.
constexpr int32_t kExceptionMessageField = 28;
constexpr int32_t kFormatField = 144, kFormattedTextField = 148;

class EditFields : public kqtest::WindowTest {
  protected:
    RuntimeObject *Shown(const std::function<void(RuntimeObject *)> &add) {
        static RuntimeClass *cls = kqtest::ImageWindowClass("Fenster", {});
        return kqtest::ShownWindow(cls, add);
    }
};

RuntimeObject *Field(const char *name, int top, std::initializer_list<const char *> handled = {}) {
    return kqtest::NewRuntimeControl(&EditFieldDefinition, name, 10, top, 160, 26, handled);
}

std::string Displayed(RuntimeObject *field) {
    GtkWidget *widget = kqtest::WidgetOf(field);
    return GTK_IS_ENTRY(widget) ? gtk_entry_get_text(GTK_ENTRY(widget)) : "";
}

void Type(const char *keys) {
    for (const char *k = keys; *k; ++k)
        kqtest::PressKey(*k == '.' ? GDK_KEY_period : unsigned(*k));
}

} // namespace

TEST_F(EditFields, TextChangeFiresOncePerChangeAndNotFromInsideItself) {
    RuntimeObject *field = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field = kqtest::AddControl(w, Field("Feld", 10, {"TextChange"}));
    });
    kqtest::SetEditText(field, "12");
    EXPECT_EQ(EventLog(), Lines{"Feld.TextChange"});
    kqtest::SetEditText(field, "12");
    EXPECT_EQ(EventLog().size(), 1u) << "the same text is no change";

    // The handler changes the text once more: no second TextChange.
    EventLog().clear();
    kqtest::OnEvent("Feld.TextChange",
                    [](RuntimeObject *f) { kqtest::SetEditText(f, "aus dem Handler"); });
    kqtest::SetEditText(field, "34");
    EXPECT_EQ(EventLog(), Lines{"Feld.TextChange"});
    EXPECT_EQ(kqtest::EditText(field), "aus dem Handler");

    kqtest::OnEvent("Feld.TextChange", [](RuntimeObject *) {});
    RuntimeSetFocus(field);
    editTextSetter(field, 0, nullptr);
    EventLog().clear();
    Type("ab");
    kqtest::Settle([field] { return kqtest::EditText(field) == "ab"; });
    EXPECT_EQ(EventLog(), (Lines{"Feld.TextChange", "Feld.TextChange"})) << "one per typed key";
    EXPECT_EQ(kqtest::EditText(field), "ab");
    kqtest::CloseWindow(window);
}

TEST_F(EditFields, KeyDownSeesTheTextBeforeTheKeyAndTrueSwallowsIt) {
    RuntimeObject *field = nullptr;
    RuntimeObject *window = Shown(
        [&](RuntimeObject *w) { field = kqtest::AddControl(w, Field("Feld", 10, {"KeyDown"})); });
    kqtest::OnEvent("Feld.KeyDown",
                    [](RuntimeObject *f) { kqtest::Log("sees " + kqtest::EditText(f)); });
    RuntimeSetFocus(field);
    Type("xy");
    kqtest::Settle([field] { return kqtest::EditText(field) == "xy"; });
    EXPECT_EQ(EventLog(), (Lines{"Feld.KeyDown x", "sees ", "Feld.KeyDown y", "sees x"}));
    EXPECT_EQ(kqtest::EditText(field), "xy");

    kqtest::Answer("Feld.KeyDown", true);
    Type("a");
    kqtest::Settle([] { return LogLines("Feld.KeyDown").size() == 3; });
    EXPECT_EQ(kqtest::EditText(field), "xy") << "KeyDown answered True";
    kqtest::CloseWindow(window);
}

TEST_F(EditFields, FormatShowsTheNumberWhileTheFieldHasNoFocus) {
    struct Case {
        const char *locale, *formatted;
    };
    for (Case c : {Case{"de_DE.UTF-8", "1.234,50"}, Case{"en_US.UTF-8", "1,234.50"}}) {
        ASSERT_NE(setlocale(LC_ALL, c.locale), nullptr) << c.locale;
        RuntimeObject *field = nullptr, *other = nullptr;
        RuntimeObject *window = Shown([&](RuntimeObject *w) {
            field = kqtest::AddControl(w, Field("Betrag", 10, {"GotFocus", "TextChange"}));
            kstr::StringRef format(kstr::FromC("#,##0.00"));
            stringSetter(field, kFormatField, format.Get());
            other = kqtest::AddControl(w, Field("Anderes", 50));
        });
        RuntimeSetFocus(field);
        Type("1234.5");
        kqtest::Settle([field] { return kqtest::EditText(field) == "1234.5"; });
        EventLog().clear();
        RuntimeSetFocus(other);
        EXPECT_EQ(Displayed(field), c.formatted) << c.locale;
        EXPECT_EQ(kqtest::EditText(field), "1234.5") << "the typed text stays the field's text";
        kstr::StringRef formatted(stringGetter(field, kFormattedTextField));
        EXPECT_STREQ(kstr::Text(formatted.Get()), c.formatted);
        EXPECT_EQ(LogLines("Betrag.TextChange"), Lines{}) << "the swap is no change";

        RuntimeSetFocus(field);
        kqtest::Settle();
        EXPECT_EQ(Displayed(field), "1234.5");
        EXPECT_EQ(editSelStartGetter(field, 0), 0);
        EXPECT_EQ(editSelLengthGetter(field, 0), 6) << "all of it selected";
        EXPECT_EQ(EventLog(), Lines{"Betrag.GotFocus"});
        kqtest::CloseWindow(window);
    }
    setlocale(LC_ALL, "C");
}

TEST_F(EditFields, LimitTextCutsTypedAndAppendedText) {
    RuntimeObject *field = nullptr, *memo = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field = kqtest::AddControl(w, Field("Feld", 10));
        memo = Field("Notiz", 50);
        editMultiLineSetter(memo, 0, true);
        kqtest::AddControl(w, memo);
    });
    editLimitTextSetter(field, 0, 4);
    RuntimeSetFocus(field);
    Type("123456");
    kqtest::Settle([field] { return kqtest::EditText(field) == "1234"; });
    kqtest::Settle();
    EXPECT_EQ(kqtest::EditText(field), "1234");

    editLimitTextSetter(field, 0, 10);
    kqtest::SetEditText(field, "abcdefgh");
    kstr::StringRef more(kstr::FromC("12345"));
    editAppendText(field, more.Get());
    EXPECT_EQ(kqtest::EditText(field), "defgh12345") << "the last ten characters";

    // A multi-line field has no limit and no password mode.
    editLimitTextSetter(memo, 0, 3);
    editPasswordSetter(memo, 0, true);
    kqtest::SetEditText(memo, "länger als drei");
    EXPECT_EQ(kqtest::EditText(memo), "länger als drei");
    kqtest::CloseWindow(window);
}

TEST_F(EditFields, PasswordHidesTheTextButKeepsIt) {
    RuntimeObject *field = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field = Field("Kennwort", 10);
        editPasswordSetter(field, 0, true);
        kqtest::AddControl(w, field);
    });
    GtkWidget *entry = kqtest::WidgetOf(field);
    EXPECT_FALSE(gtk_entry_get_visibility(GTK_ENTRY(entry)));
    RuntimeSetFocus(field);
    Type("geheim");
    kqtest::Settle([field] { return kqtest::EditText(field) == "geheim"; });
    EXPECT_EQ(kqtest::EditText(field), "geheim");
    PangoLayout *layout = gtk_entry_get_layout(GTK_ENTRY(entry));
    EXPECT_EQ(std::string(pango_layout_get_text(layout)).find("geheim"), std::string::npos)
        << "what the entry draws";
    kqtest::CloseWindow(window);
}

TEST_F(EditFields, MaskRefusesTildeAndRejectsCharactersItDoesNotAllow) {
    RuntimeObject *field = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field = kqtest::AddControl(w, Field("PLZ", 10, {"ValidationError"}));
    });
    kstr::StringRef tilde(kstr::FromC("##~##"));
    RuntimeObject *raised = kqtest::Caught([&] { EditMaskSetter(field, 0, tilde.Get()); });
    EXPECT_STREQ(kstr::Text(raised->classPtr->name), "UnsupportedFormatException");
    kstr::StringRef message(stringGetter(raised, kExceptionMessageField));
    EXPECT_STREQ(kstr::Text(message.Get()),
                 "Invalid Mask.  The tilde character (~) is reserved for future use.");
    RuntimeUnlockObject(raised);

    kstr::StringRef digits(kstr::FromC("##-#"));
    EditMaskSetter(field, 0, digits.Get());
    RuntimeSetFocus(field);
    Type("1x2-");
    kqtest::Settle([field] { return kqtest::EditText(field) == "12-"; });
    EXPECT_EQ(kqtest::EditText(field), "12-");
    EXPECT_EQ(EventLog(), Lines{"PLZ.ValidationError x at 1"});
    kqtest::CloseWindow(window);
}

TEST_F(EditFields, EditCommandsActOnTheFocusedField) {
    RuntimeObject *field = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field = kqtest::AddControl(w, Field("Feld", 10, {"EnableMenuItems"}));
    });
    kqtest::SetEditText(field, "Preis");
    RuntimeSetFocus(field);
    Pane *pane = controls::PaneOf(field);
    auto enabled = [pane] {
        std::set<std::string> names;
        pane->EnableMenuCommands(
            [](const char *name, void *context) {
                static_cast<std::set<std::string> *>(context)->insert(name);
            },
            &names);
        return names;
    };
    ASSERT_TRUE(pane->DoMenuCommand("EditSelectAll"));
    EXPECT_EQ(editSelLengthGetter(field, 0), 5);
    EXPECT_EQ(enabled(),
              (std::set<std::string>{"EditCut", "EditCopy", "EditClear", "EditSelectAll"}));
    EXPECT_EQ(LogLines("Feld.EnableMenuItems").size(), 1u) << "after the standard items";

    // Through the menu layer: the focused field carries the item out.
    RuntimeObject *item = definitions::Instantiate(&MenuItemDefinition);
    kstr::StringRef cut(kstr::FromC("EditCut"));
    stringSetter(item, offsetof(MenuItemObject, mName), cut.Get());
    EXPECT_TRUE(menus::Dispatch(item, windows::AsWindow(window)));
    RuntimeUnlockObject(item);
    EXPECT_EQ(kqtest::EditText(field), "");
    kqtest::Settle();
    EXPECT_EQ(enabled(), (std::set<std::string>{"EditPaste", "EditSelectAll"}));
    ASSERT_TRUE(pane->DoMenuCommand("EditPaste"));
    kqtest::Settle([field] { return kqtest::EditText(field) == "Preis"; });
    EXPECT_EQ(kqtest::EditText(field), "Preis");
    EXPECT_FALSE(pane->DoMenuCommand("FileQuit"));
    kqtest::CloseWindow(window);
}

TEST_F(EditFields, StoredValuesShapeTheWidgetAndOutliveIt) {
    RuntimeObject *field = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field = Field("Preis", 10);
        kqtest::SetEditText(field, "9,95");
        EditAlignmentSetter(field, 0, 3);
        editTextColorSetter(field, 0, 0x0000FF);
        editReadOnlySetter(field, 0, true);
        editBorderSetter(field, 0, false);
        kqtest::AddControl(w, field);
    });
    GtkEntry *entry = GTK_ENTRY(kqtest::WidgetOf(field));
    EXPECT_STREQ(gtk_entry_get_text(entry), "9,95");
    EXPECT_EQ(gtk_entry_get_alignment(entry), 1.0f);
    EXPECT_FALSE(gtk_entry_get_has_frame(entry));
    EXPECT_FALSE(gtk_editable_get_editable(GTK_EDITABLE(entry)));
    GtkStyle *style = gtk_widget_get_style(GTK_WIDGET(entry));
    EXPECT_EQ(style->text[GTK_STATE_NORMAL].blue, 65535);
    EXPECT_EQ(style->base[GTK_STATE_NORMAL].red, 65535) << "white unless told otherwise";

    editReadOnlySetter(field, 0, false);
    RuntimeSetFocus(field);
    editSelStartSetter(field, 0, 4);
    Type("9");
    kqtest::Settle([field] { return kqtest::EditText(field) == "9,959"; });
    Ref<> keep(field);
    kqtest::CloseWindow(window);
    EXPECT_EQ(controls::PaneOf(field), nullptr);
    EXPECT_EQ(kqtest::EditText(field), "9,959") << "the text last seen in the widget";
}

TEST_F(EditFields, ReturnBreaksTheLineOfAMultiLineFieldAndEnterPressesTheDefault) {
    RuntimeObject *memo = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        memo = Field("Notiz", 10);
        editMultiLineSetter(memo, 0, true);
        kqtest::AddControl(w, memo);
        RuntimeObject *ok =
            kqtest::NewRuntimeControl(&PushButtonDefinition, "OK", 10, 80, 80, 28, {"Action"});
        pushButtonDefaultSetter(ok, 0, true);
        kqtest::AddControl(w, ok);
    });
    RuntimeSetFocus(memo);
    Type("a");
    kqtest::PressKey(GDK_KEY_Return);
    Type("b");
    kqtest::Settle([memo] { return kqtest::EditText(memo) == "a\nb"; });
    EXPECT_EQ(kqtest::EditText(memo), "a\nb");
    EXPECT_EQ(LogLines("OK."), Lines{});
    kqtest::PressKey(GDK_KEY_KP_Enter);
    kqtest::Settle([] { return !LogLines("OK.Action").empty(); });
    EXPECT_EQ(LogLines("OK."), Lines{"OK.Action"});
    EXPECT_EQ(kqtest::EditText(memo), "a\nb");
    kqtest::CloseWindow(window);
}
