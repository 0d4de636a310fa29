// The `EditField` class: its record, the router of its pane
// (RuntimeEditRouter), the display format, the mask, and its entry points.
//
//   offset  field
//   88      font: 88 TextFont, 92 Bold, 93 Italic, 94 Underline,
//           96 TextSize (16-bit)
//   100     Border, 101 MultiLine, 102 ScrollBarHorizontal,
//           103 ScrollBarVertical, 104 ReadOnly, 105 Password, 106 Styled,
//           107 AcceptTabs, 108 LiveUpdate, 109 UseFocusRing, 110 bound,
//           111 in-text-change, 112 in-selection-change, 113 the formatted
//           text is shown
//   116     the text last set (or last seen in the widget)
//   120     LimitText, 124 BackColor, 128 TextColor, 132 Alignment
//   136     the saved selection: start, 140 length
//   144     Format, 148 FormattedText, 152 Mask, 156 the mask checker
//   160     DataSource, 164 DataField
//
// The pane holds the live text while it exists; the object keeps what must
// outlive it. While a Format is set and the field has no focus, the widget
// shows the formatted number and the object keeps the typed text.
#include "Control.h"
#include "EditControlGTK.h"
#include "EditMask.h"
#include "MenuDispatch.h"
#include "MenuItem.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "RuntimePaneDelegate.h"
#include "StringFunctions.h"

#include <climits>
#include <cstring>

namespace {

const char kSource[] = "Common/runEditControl";

struct EditFieldObject {
    RectControlObject rect;
    FontRecord font;
    uint8_t border;
    uint8_t multiLine;
    uint8_t scrollBarHorizontal;
    uint8_t scrollBarVertical;
    uint8_t readOnly;
    uint8_t password;
    uint8_t styled;
    uint8_t acceptTabs;
    uint8_t liveUpdate;
    uint8_t useFocusRing;
    uint8_t bound;
    uint8_t inTextChange;
    uint8_t inSelChange;
    uint8_t showingFormatted;
    KESTstring *text;
    int32_t limitText;
    uint32_t backColor;
    uint32_t textColor;
    int32_t alignment;
    int32_t savedSelStart;
    int32_t savedSelLength;
    KESTstring *format;
    KESTstring *formattedText;
    KESTstring *mask;
    EditMask *maskChecker;
    KESTstring *dataSource;
    KESTstring *dataField;
};
static_assert(offsetof(EditFieldObject, font) == 88, "EditField.font");
static_assert(offsetof(EditFieldObject, font.size) == 96, "EditField.TextSize");
static_assert(offsetof(EditFieldObject, border) == 100, "EditField.Border");
static_assert(offsetof(EditFieldObject, showingFormatted) == 113, "EditField.showingFormatted");
static_assert(offsetof(EditFieldObject, text) == 116, "EditField.text");
static_assert(offsetof(EditFieldObject, limitText) == 120, "EditField.LimitText");
static_assert(offsetof(EditFieldObject, alignment) == 132, "EditField.Alignment");
static_assert(offsetof(EditFieldObject, format) == 144, "EditField.Format");
static_assert(offsetof(EditFieldObject, maskChecker) == 156, "EditField.maskChecker");
static_assert(offsetof(EditFieldObject, dataField) == 164, "EditField.DataField");
static_assert(sizeof(EditFieldObject) == 168, "EditField instance size");

#define KQ_EDIT_FIELD(field) offsetof(EditFieldObject, field)

EventEntry kEditFieldEvents[] = {
    KQ_EVENT("KeyDown", "Key As String", "Boolean"),
    KQ_EVENT("GotFocus", "", nullptr),
    KQ_EVENT("LostFocus", "", nullptr),
    KQ_EVENT("MouseDown", "X As Integer, Y As Integer", "Boolean"),
    KQ_EVENT("MouseUp", "X As Integer, Y As Integer", nullptr),
    KQ_EVENT("SelChange", "", nullptr),
    KQ_EVENT("TextChange", "", nullptr),
    {32, "EnableMenuItems", "", nullptr, nullptr, 0},
    KQ_EVENT("ValidationError", "InvalidText As String, StartPosition As Integer", nullptr),
};
enum EditEvent {
    kKeyDown,
    kGotFocus,
    kLostFocus,
    kMouseDown,
    kMouseUp,
    kSelChange,
    kTextChange,
    kEnableMenuItems,
    kValidationError
};

const ControlEventSet kEditEventSet = {&kEditFieldEvents[kMouseDown], nullptr,
                                       &kEditFieldEvents[kMouseUp],   &kEditFieldEvents[kGotFocus],
                                       &kEditFieldEvents[kLostFocus], &kEditFieldEvents[kKeyDown]};

EditFieldObject *Record(RuntimeObject *control) {
    if (control == nullptr) RaiseNilObjectException();
    return reinterpret_cast<EditFieldObject *>(control);
}

EditControlGTK *PaneOf(RuntimeObject *control) {
    return dynamic_cast<EditControlGTK *>(controls::PaneOf(control));
}

void Raise(RuntimeObject *control, EditEvent event, std::initializer_list<uint32_t> args = {}) {
    events::Raise(control, kEditFieldEvents[event].item, args);
}

// Text from the widget (UTF-8) as a string for the caller.
KESTstring *FromPane(const std::string &utf8) {
    return kstr::Make(utf8.data(), uint32_t(utf8.size()), kEncodingUTF8);
}

// A string for the widget: UTF-8 or nothing. Text that cannot be brought to
// UTF-8 is a failed assertion; the widget is then left as it is.
bool ToPane(KESTstring *s, std::string *utf8) {
    kstr::StringRef converted(kstr::ToUTF8(s));
    const char *text = kstr::Text(converted.Get());
    uint32_t length = kstr::Length(converted.Get());
    bool ok = length == 0 || (kstr::Encoding(converted.Get()) == kEncodingUTF8 &&
                              g_utf8_validate(text, length, nullptr));
    KQ_ASSERT_TEXT(kSource, ok, "kEncodingUTF8 == s1.Encoding()", nullptr);
    if (ok) utf8->assign(text, length);
    return ok;
}

int CharacterCount(KESTstring *s) {
    std::string utf8;
    return ToPane(s, &utf8) ? int(g_utf8_strlen(utf8.c_str(), -1)) : int(kstr::Length(s));
}

void Store(KESTstring **field, KESTstring *value) {
    RuntimeLockUnlockStrings(value, *field);
    *field = value;
}

// Shows a text in the widget without a TextChange (the format swap).
void ShowQuietly(EditFieldObject *e, EditControlGTK *pane, KESTstring *text) {
    std::string utf8;
    if (!ToPane(text, &utf8)) return;
    uint8_t guard = e->inTextChange;
    e->inTextChange = 1;
    pane->SetText(utf8);
    e->inTextChange = guard;
}

// Unfocused with a Format: the widget shows the typed number formatted.
void ShowFormatted(RuntimeObject *control) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = PaneOf(control);
    if (kstr::Length(e->format) == 0 || pane == nullptr || panes::FocusedPane() == pane) return;
    if (!e->showingFormatted) {
        pane->Selection(&e->savedSelStart, &e->savedSelLength);
        kstr::StringRef typed(FromPane(pane->Text()));
        Store(&e->text, typed.Get());
    }
    kstr::StringRef formatted(StringFormat(StringVal(e->text), e->format));
    Store(&e->formattedText, formatted.Get());
    ShowQuietly(e, pane, formatted.Get());
    e->showingFormatted = 1;
}

// The character a key text stands for in the 8-bit set, or -1 for an
// editing key or a control character.
int TypedCharacter(KESTstring *key) {
    const auto *bytes = kstr::Bytes(key);
    uint32_t length = kstr::Length(key);
    if (length == 1) return bytes[0] >= 0x20 && bytes[0] != 0x7F ? bytes[0] : -1;
    if (length == 2 && (bytes[0] & 0xE0) == 0xC0 && (bytes[1] & 0xC0) == 0x80) {
        int code = (bytes[0] & 0x1F) << 6 | (bytes[1] & 0x3F);
        return code < 0x100 ? code : -1;
    }
    return -1;
}

class RuntimeEditRouter : public ControlRouter<EditControlDelegate> {
  public:
    explicit RuntimeEditRouter(RuntimeObject *control) : ControlRouter(control, &kEditEventSet) {}

    bool FilterKey(KESTstring *key) override {
        EditFieldObject *e = Record(mControl);
        EditControlGTK *pane = PaneOf(mControl);
        int character = TypedCharacter(key);
        if (e->maskChecker == nullptr || pane == nullptr || character < 0) return false;
        int start, length;
        pane->Selection(&start, &length);
        if (e->maskChecker->Accepts(size_t(start), uint8_t(character))) return false;
        Raise(mControl, kValidationError,
              {uint32_t(reinterpret_cast<uintptr_t>(key)), uint32_t(start)});
        return true;
    }

    void TextChanged() override {
        EditFieldObject *e = Record(mControl);
        if (e->inTextChange) return;
        Ref<> keep(mControl);
        e->showingFormatted = 0;
        if (EditControlGTK *pane = PaneOf(mControl)) {
            kstr::StringRef text(FromPane(pane->Text()));
            Store(&e->text, text.Get());
        }
        e->inTextChange = 1;
        Raise(mControl, kTextChange);
        e->inTextChange = 0;
        ShowFormatted(mControl);
    }

    void SelectionChanged() override {
        EditFieldObject *e = Record(mControl);
        if (e->inSelChange || e->inTextChange) return;
        e->inSelChange = 1;
        Raise(mControl, kSelChange);
        e->inSelChange = 0;
    }

    void BeforeFocus() override {
        EditFieldObject *e = Record(mControl);
        if (kstr::Length(e->format) == 0) return;
        e->savedSelStart = 0;
        e->savedSelLength = CharacterCount(e->text);
    }

    void GotFocus() override {
        EditFieldObject *e = Record(mControl);
        EditControlGTK *pane = PaneOf(mControl);
        if (kstr::Length(e->format) != 0 && e->showingFormatted && pane != nullptr) {
            ShowQuietly(e, pane, e->text);
            e->showingFormatted = 0;
            pane->SetSelection(e->savedSelStart, e->savedSelLength);
        }
        routing::Focus(mControl, mEvents, true);
    }

    void LostFocus() override {
        Ref<> keep(mControl);
        routing::Focus(mControl, mEvents, false);
        ShowFormatted(mControl);
    }

    void EnableMenuItems() override { Raise(mControl, kEnableMenuItems); }
};

// The standard Edit items of a menu bar, for the focused field: the field
// carries them out, and enables those it can carry out now.
void EnableNamedItems(Menu *record, const char *name) {
    MenuItemObject *item = menus::ItemOf(record);
    if (item != nullptr && std::strcmp(kstr::Text(item->mName), name) == 0)
        record->SetEnabled(true);
    for (uint32_t i = 0; i < record->Count(); ++i)
        EnableNamedItems(record->ChildAt(i), name);
}

bool EditMenuCommand(RuntimeObject *control, KESTstring *itemName) {
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr && pane->DoMenuCommand(kstr::Text(itemName));
}

void EnableEditMenuItems(RuntimeObject *control, Menu *bar) {
    if (EditControlGTK *pane = PaneOf(control))
        pane->EnableMenuCommands(
            [](const char *name, void *context) {
                EnableNamedItems(static_cast<Menu *>(context), name);
            },
            bar);
}

const menus::ControlMenuOperations kEditMenuOperations = {EditMenuCommand, EnableEditMenuItems};

} // namespace

extern "C" {

void EditFieldInitializer(RuntimeObject *control) {
    EditFieldObject *e = Record(control);
    e->border = e->scrollBarVertical = 1;
    e->backColor = 0xFFFFFF;
}

void EditCreatePane(RuntimeObject *control) {
    EditFieldObject *e = Record(control);
    EditControlStyle style;
    style.multiLine = e->multiLine;
    style.border = e->border;
    style.scrollBarHorizontal = e->scrollBarHorizontal;
    style.scrollBarVertical = e->scrollBarVertical;
    auto *pane = new EditControlGTK(controls::ParentPaneFor(control), style);
    // The stored values are no changes of the user's: applied before the
    // router is there to report them.
    std::string text;
    if (ToPane(e->text, &text)) pane->SetText(text);
    pane->SetReadOnly(e->readOnly);
    pane->SetPassword(e->password);
    pane->SetLimit(e->limitText);
    pane->SetAlignment(e->alignment);
    pane->SetColours(e->textColor, e->backColor);
    pane->SetFont(e->font);
    pane->SetAcceptsTabs(e->acceptTabs);
    e->showingFormatted = 0;
    pane->SetDelegate(new RuntimeEditRouter(control));
    controls::AttachPane(control, pane);
    menus::SetControlMenuOperations(&EditFieldDefinition, &kEditMenuOperations);
}

void RuntimeEditDestructor(RuntimeObject *control) {
    EditFieldObject *e = Record(control);
    controls::DestroyPane(control);
    delete e->maskChecker;
    e->maskChecker = nullptr;
    for (KESTstring **field : {&e->font.name, &e->text, &e->format, &e->formattedText, &e->mask,
                               &e->dataSource, &e->dataField}) {
        RuntimeUnlockString(*field);
        *field = nullptr;
    }
}

KESTstring *editTextGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = PaneOf(control);
    if (pane == nullptr || e->showingFormatted) return kstr::Share(e->text);
    return FromPane(pane->Text());
}

void editTextSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    EditFieldObject *e = Record(control);
    Store(&e->text, value);
    std::string utf8;
    if (EditControlGTK *pane = PaneOf(control))
        if (ToPane(value, &utf8)) pane->SetText(utf8);
}

KESTstring *editTextFontGetter(RuntimeObject *control, int32_t) {
    return kstr::Share(Record(control)->font.name);
}

void editTextFontSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    EditFieldObject *e = Record(control);
    Store(&e->font.name, value);
    if (EditControlGTK *pane = PaneOf(control)) pane->SetFont(e->font);
}

int32_t editTextSizeGetter(RuntimeObject *control, int32_t) {
    return Record(control)->font.size;
}

void editTextSizeSetter(RuntimeObject *control, int32_t, int32_t value) {
    EditFieldObject *e = Record(control);
    e->font.size = int16_t(value);
    if (EditControlGTK *pane = PaneOf(control)) pane->SetFont(e->font);
}

// Bold, Italic and Underline.
#define KQ_EDIT_STYLE_ACCESSORS(Which, field)                                                      \
    bool edit##Which##Getter(RuntimeObject *control, int32_t) {                                    \
        return Record(control)->font.field != 0;                                                   \
    }                                                                                              \
    void edit##Which##Setter(RuntimeObject *control, int32_t, bool value) {                        \
        EditFieldObject *e = Record(control);                                                      \
        e->font.field = value;                                                                     \
        if (EditControlGTK *pane = PaneOf(control)) pane->SetFont(e->font);                        \
    }
KQ_EDIT_STYLE_ACCESSORS(Bold, bold)
KQ_EDIT_STYLE_ACCESSORS(Italic, italic)
KQ_EDIT_STYLE_ACCESSORS(Underline, underline)

// Border, MultiLine and the scroll bars decide how the pane is made: they
// are stored and take effect when it is made.
#define KQ_EDIT_STORED_FLAG(Which, field)                                                          \
    bool edit##Which##Getter(RuntimeObject *control, int32_t) {                                    \
        return Record(control)->field != 0;                                                        \
    }                                                                                              \
    void edit##Which##Setter(RuntimeObject *control, int32_t, bool value) {                        \
        Record(control)->field = value;                                                            \
    }
KQ_EDIT_STORED_FLAG(Border, border)
KQ_EDIT_STORED_FLAG(MultiLine, multiLine)
KQ_EDIT_STORED_FLAG(ScrollBar, scrollBarVertical)

bool editReadOnlyGetter(RuntimeObject *control, int32_t) {
    return Record(control)->readOnly != 0;
}

void editReadOnlySetter(RuntimeObject *control, int32_t, bool value) {
    Record(control)->readOnly = value;
    if (EditControlGTK *pane = PaneOf(control)) pane->SetReadOnly(value);
}

bool editPasswordGetter(RuntimeObject *control, int32_t) {
    return Record(control)->password != 0;
}

void editPasswordSetter(RuntimeObject *control, int32_t, bool value) {
    Record(control)->password = value;
    if (EditControlGTK *pane = PaneOf(control)) pane->SetPassword(value);
}

int32_t editLimitTextGetter(RuntimeObject *control, int32_t) {
    return Record(control)->limitText;
}

void editLimitTextSetter(RuntimeObject *control, int32_t, int32_t value) {
    Record(control)->limitText = value;
    if (EditControlGTK *pane = PaneOf(control)) pane->SetLimit(value);
}

void editTextColorSetter(RuntimeObject *control, int32_t, uint32_t value) {
    EditFieldObject *e = Record(control);
    e->textColor = value;
    if (EditControlGTK *pane = PaneOf(control)) pane->SetColours(e->textColor, e->backColor);
}

void editBackColorSetter(RuntimeObject *control, int32_t, uint32_t value) {
    EditFieldObject *e = Record(control);
    e->backColor = value;
    if (EditControlGTK *pane = PaneOf(control)) pane->SetColours(e->textColor, e->backColor);
}

void EditAlignmentSetter(RuntimeObject *control, int32_t, int32_t value) {
    Record(control)->alignment = value;
    if (EditControlGTK *pane = PaneOf(control)) pane->SetAlignment(value);
}

void EditMaskSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    EditFieldObject *e = Record(control);
    auto *checker = new EditMask;
    if (!checker->Parse(kstr::Text(value))) {
        delete checker;
        exceptions::RaiseWithMessage(
            &UnsupportedFormatExceptionDefinition,
            "Invalid Mask.  The tilde character (~) is reserved for future use.", 0);
        return;
    }
    Store(&e->mask, value);
    delete e->maskChecker;
    e->maskChecker = checker->IsEmpty() ? nullptr : checker;
    if (e->maskChecker == nullptr) delete checker;
}

int32_t editSelStartGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = PaneOf(control);
    if (pane == nullptr) return 0;
    if (e->showingFormatted) return e->savedSelStart;
    int start, length;
    pane->Selection(&start, &length);
    return start;
}

void editSelStartSetter(RuntimeObject *control, int32_t, int32_t value) {
    Record(control);
    if (EditControlGTK *pane = PaneOf(control)) pane->SetSelection(value, 0);
}

int32_t editSelLengthGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = PaneOf(control);
    if (pane == nullptr) return 0;
    if (e->showingFormatted) return e->savedSelLength;
    int start, length;
    pane->Selection(&start, &length);
    return length;
}

void editSelLengthSetter(RuntimeObject *control, int32_t, int32_t value) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    if (pane == nullptr) return;
    int start, length;
    pane->Selection(&start, &length);
    pane->SetSelection(start, value);
}

KESTstring *editSelTextGetter(RuntimeObject *control, int32_t) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr ? FromPane(pane->SelectedText()) : nullptr;
}

void editSelTextSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    Record(control);
    std::string utf8;
    if (EditControlGTK *pane = PaneOf(control))
        if (ToPane(value, &utf8)) pane->ReplaceSelection(utf8);
}

void editAppendText(RuntimeObject *control, KESTstring *text) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = PaneOf(control);
    std::string utf8;
    if (!ToPane(text, &utf8)) return;
    if (pane == nullptr) {
        kstr::StringRef joined(kstr::Concat(e->text, text));
        Store(&e->text, joined.Get());
        return;
    }
    Ref<> keep(control);
    int length = pane->TextLength(), start, selected;
    pane->Selection(&start, &selected);
    int scroll = pane->ScrollPosition();
    bool atEnd = start + selected == length;
    int excess = length + int(g_utf8_strlen(utf8.c_str(), -1)) - e->limitText;
    if (e->limitText > 0 && excess > 0) {
        pane->DeleteRange(0, excess);
        start -= excess;
        if (start < 0) {
            selected = selected + start < 0 ? 0 : selected + start;
            start = 0;
        }
    }
    pane->SetSelection(INT_MAX, 0);
    pane->ReplaceSelection(utf8);
    if (start < length) pane->SetSelection(start, selected);
    if (atEnd)
        pane->ScrollToEnd();
    else
        pane->SetScrollPosition(scroll);
}

void editSetString(RuntimeObject *control, KESTstring *value) {
    editTextSetter(control, 0, value);
}

void editCopyToClipboard(RuntimeObject *control) {
    Record(control);
    if (EditControlGTK *pane = PaneOf(control)) pane->Copy();
}

void editPasteFromClipboard(RuntimeObject *control) {
    Record(control);
    if (EditControlGTK *pane = PaneOf(control)) pane->Paste();
}

void editSelectAll(RuntimeObject *control) {
    Record(control);
    if (EditControlGTK *pane = PaneOf(control)) pane->SelectAll();
}

int32_t editScrollPositionGetter(RuntimeObject *control) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr ? pane->ScrollPosition() : 0;
}

KESTstring *EditDataSourceGetter(RuntimeObject *control, int32_t) {
    return kstr::Share(Record(control)->dataSource);
}

void EditDataSourceSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    Store(&Record(control)->dataSource, value);
}

void EditDataFieldSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    Store(&Record(control)->dataField, value);
}

} // extern "C"

namespace {

// Styled text is carried by the pane's buffer tags only: these members
// keep their places without accessors of their own.
#define KQ_STYLED_PROPERTY(name, type)                                                             \
    { 0, name, type, nullptr, nullptr, nullptr, nullptr, 0, 0 }
#define KQ_HIDDEN_STORED(name, field)                                                              \
    {                                                                                              \
        kMemberHidden, name, &kTypeBoolean, KQ_CODE(boolGetter), "boolGetter",                     \
            KQ_CODE(boolSetter), "boolSetter", KQ_EDIT_FIELD(field), 0                             \
    }
#define KQ_HIDDEN_ACCESSED(flags, name, getter, setter)                                            \
    { flags, name, &kTypeBoolean, KQ_CODE(getter), #getter, KQ_CODE(setter), #setter, 0, 0 }

// The flag that hides Border from the property list of the language.
constexpr uint32_t kBorderFlag = 128;

const PropertyEntry kEditFieldProperties[] = {
    KQ_CONSTANT("AlignDefault", &kTypeInteger, 0),
    KQ_CONSTANT("AlignLeft", &kTypeInteger, 1),
    KQ_CONSTANT("AlignCenter", &kTypeInteger, 2),
    KQ_CONSTANT("AlignRight", &kTypeInteger, 3),
    KQ_PROPERTY("Text", &kTypeString, editTextGetter, editTextSetter, 0),
    KQ_STYLED_PROPERTY("TextStyleData", &kTypeString),
    KQ_HIDDEN_ACCESSED(kBorderFlag, "Border", editBorderGetter, editBorderSetter),
    KQ_PROPERTY("MultiLine", &kTypeBoolean, editMultiLineGetter, editMultiLineSetter, 0),
    KQ_PROPERTY("ReadOnly", &kTypeBoolean, editReadOnlyGetter, editReadOnlySetter, 0),
    KQ_PROPERTY("Password", &kTypeBoolean, editPasswordGetter, editPasswordSetter, 0),
    KQ_HIDDEN_STORED("Styled", styled),
    KQ_HIDDEN_STORED("AcceptTabs", acceptTabs),
    KQ_PROPERTY("TextColor", &kTypeColor, intGetter, editTextColorSetter, KQ_EDIT_FIELD(textColor)),
    KQ_PROPERTY("BackColor", &kTypeColor, intGetter, editBackColorSetter, KQ_EDIT_FIELD(backColor)),
    KQ_HIDDEN_STORED("ScrollBarHorizontal", scrollBarHorizontal),
    KQ_HIDDEN_ACCESSED(kMemberHidden, "ScrollBarVertical", editScrollBarGetter,
                       editScrollBarSetter),
    KQ_HIDDEN_ACCESSED(kMemberHidden, "ScrollBar", editScrollBarGetter, editScrollBarSetter),
    KQ_PROPERTY("TextFont", &kTypeString, editTextFontGetter, editTextFontSetter, 0),
    KQ_PROPERTY("TextSize", &kTypeInteger, editTextSizeGetter, editTextSizeSetter, 0),
    KQ_PROPERTY("Bold", &kTypeBoolean, editBoldGetter, editBoldSetter, 0),
    KQ_PROPERTY("Italic", &kTypeBoolean, editItalicGetter, editItalicSetter, 0),
    KQ_PROPERTY("Underline", &kTypeBoolean, editUnderlineGetter, editUnderlineSetter, 0),
    KQ_PROPERTY("SelStart", &kTypeInteger, editSelStartGetter, editSelStartSetter, 0),
    KQ_PROPERTY("SelLength", &kTypeInteger, editSelLengthGetter, editSelLengthSetter, 0),
    KQ_PROPERTY("SelText", &kTypeString, editSelTextGetter, editSelTextSetter, 0),
    KQ_PROPERTY("LimitText", &kTypeInteger, editLimitTextGetter, editLimitTextSetter, 0),
    KQ_STYLED_PROPERTY("SelBold", &kTypeBoolean),
    KQ_STYLED_PROPERTY("SelUnderline", &kTypeBoolean),
    KQ_STYLED_PROPERTY("SelItalic", &kTypeBoolean),
    KQ_STYLED_PROPERTY("SelOutline", &kTypeBoolean),
    KQ_STYLED_PROPERTY("SelShadow", &kTypeBoolean),
    KQ_STYLED_PROPERTY("SelCondense", &kTypeBoolean),
    KQ_STYLED_PROPERTY("SelExtend", &kTypeBoolean),
    KQ_STYLED_PROPERTY("SelPlain", &kTypeBoolean),
    KQ_STYLED_PROPERTY("SelTextFont", &kTypeString),
    KQ_STYLED_PROPERTY("SelTextSize", &kTypeInteger),
    KQ_STYLED_PROPERTY("SelTextColor", &kTypeColor),
    KQ_PROPERTY("LiveUpdate", &kTypeBoolean, boolGetter, boolSetter, KQ_EDIT_FIELD(liveUpdate)),
    KQ_HIDDEN_STORED("UseFocusRing", useFocusRing),
    KQ_PROPERTY("DataSource", &kTypeString, EditDataSourceGetter, EditDataSourceSetter, 0),
    KQ_PROPERTY("DataField", &kTypeString, stringGetter, EditDataFieldSetter,
                KQ_EDIT_FIELD(dataField)),
    KQ_PROPERTY("Alignment", &kTypeInteger, intGetter, EditAlignmentSetter,
                KQ_EDIT_FIELD(alignment)),
    KQ_STYLED_PROPERTY("SelAlignment", &kTypeInteger),
    KQ_PROPERTY("Format", &kTypeString, stringGetter, stringSetter, KQ_EDIT_FIELD(format)),
    KQ_READONLY_PROPERTY("FormattedText", &kTypeString, stringGetter, KQ_EDIT_FIELD(formattedText)),
    KQ_PROPERTY("Mask", &kTypeString, stringGetter, EditMaskSetter, KQ_EDIT_FIELD(mask)),
};

const ParameterEntry kTextParameters[] = {KQ_PARAMETER("text", &kTypeString)};

const MethodEntry kEditFieldMethods[] = {
    KQ_METHOD("setString", nullptr, KQ_TABLE(kTextParameters), editSetString),
    KQ_METHOD("ScrollPosition", &kTypeInteger, KQ_NO_TABLE, editScrollPositionGetter),
    KQ_METHOD("Copy", nullptr, KQ_NO_TABLE, editCopyToClipboard),
    KQ_METHOD("Paste", nullptr, KQ_NO_TABLE, editPasteFromClipboard),
    KQ_METHOD("SelectAll", nullptr, KQ_NO_TABLE, editSelectAll),
    KQ_METHOD("AppendText", nullptr, KQ_TABLE(kTextParameters), editAppendText),
};

const HookEntry kEditFieldHooks[] = {KQ_HOOK("CreatePane", EditCreatePane)};

const RuntimeClassDeclaration kEditFieldDeclaration = {"EditField",
                                                       &RectControlDefinition,
                                                       sizeof(EditFieldObject),
                                                       KQ_GUI_ONLY,
                                                       false,
                                                       KQ_TABLE(kEditFieldProperties),
                                                       KQ_TABLE(kEditFieldMethods),
                                                       KQ_TABLE(kEditFieldEvents),
                                                       KQ_TABLE(kEditFieldHooks),
                                                       KQ_NO_TABLE,
                                                       KQ_FUNCTION(EditFieldInitializer),
                                                       KQ_FUNCTION(RuntimeEditDestructor)};

} // namespace

ObjectDefinition EditFieldDefinition(&kEditFieldDeclaration);
