// The `EditField` class: its record, the router of its pane
// (RuntimeEditRouter), the display format, the mask, and its entry points.
//
// The pane holds the live text while it exists; the object keeps what must
// outlive it. While a Format is set and the field has no focus, the widget
// shows the formatted number and the object keeps the typed text.
#include "EditField.h"
#include "EditMask.h"
#include "MenuDispatch.h"
#include "MenuItem.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "RuntimePaneDelegate.h"
#include "StringFunctions.h"

#include <climits>
#include <cstring>

namespace editfield {

const char kSource[] = "Common/runEditControl";

EditFieldObject *Record(RuntimeObject *control) {
    if (control == nullptr) RaiseNilObjectException();
    return reinterpret_cast<EditFieldObject *>(control);
}

EditControlGTK *PaneOf(RuntimeObject *control) {
    return dynamic_cast<EditControlGTK *>(controls::PaneOf(control));
}

KESTstring *FromPane(const std::string &utf8) {
    return kstr::Make(utf8.data(), uint32_t(utf8.size()), kEncodingUTF8);
}

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

} // namespace editfield

namespace {

using editfield::FromPane;
using editfield::PaneOf;
using editfield::Record;
using editfield::ToPane;

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

void Raise(RuntimeObject *control, EditEvent event, std::initializer_list<uint32_t> args = {}) {
    events::Raise(control, kEditFieldEvents[event].item, args);
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

    bool AcceptsTabs() override { return Record(mControl)->acceptTabs != 0; }
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

EditControlStyle StyleOf(const EditFieldObject *e) {
    EditControlStyle style;
    style.multiLine = e->multiLine;
    style.border = e->border;
    style.scrollBarHorizontal = e->scrollBarHorizontal;
    style.scrollBarVertical = e->scrollBarVertical;
    return style;
}

// The stored settings a new widget takes.
void ApplySettings(const EditFieldObject *e, EditControlGTK *pane) {
    pane->SetReadOnly(e->readOnly);
    pane->SetPassword(e->password);
    pane->SetLimit(e->limitText);
    pane->SetAlignment(e->alignment);
    pane->SetColours(e->textColor, e->backColor);
    pane->SetFont(e->font);
}

// Border, MultiLine and the scroll bars shape the widget: a change while the
// pane exists re-shapes it. A new kind of widget keeps the text, the
// selection and the focus (the pane sees to that) and takes the stored
// settings again.
void Reshape(RuntimeObject *control) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = PaneOf(control);
    if (pane == nullptr) return;
    bool rebuilt = pane->IsMultiLine() != (e->multiLine != 0);
    pane->SetStyle(StyleOf(e));
    if (!rebuilt) return;
    ApplySettings(e, pane);
    controls::AttachPane(control, pane);
}

uint8_t *ScrollBarFlag(RuntimeObject *control, int32_t offset) {
    EditFieldObject *e = Record(control);
    return offset == int32_t(KQ_EDIT_FIELD(scrollBarHorizontal)) ? &e->scrollBarHorizontal
                                                                 : &e->scrollBarVertical;
}

} // namespace

extern "C" {

void EditFieldInitializer(RuntimeObject *control) {
    EditFieldObject *e = Record(control);
    e->border = e->scrollBarVertical = 1;
    e->backColor = 0xFFFFFF;
}

void EditCreatePane(RuntimeObject *control) {
    EditFieldObject *e = Record(control);
    auto *pane = new EditControlGTK(controls::ParentPaneFor(control), StyleOf(e));
    // The stored values are no changes of the user's: applied before the
    // router is there to report them.
    std::string text;
    if (ToPane(e->text, &text)) pane->SetText(text);
    ApplySettings(e, pane);
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

// Border, MultiLine and the scroll bars. ScrollBarHorizontal, and
// ScrollBarVertical with its second name ScrollBar, share one pair of
// accessors: the parameter is the offset of the flag.
#define KQ_EDIT_SHAPE_FLAG(Which, field)                                                           \
    bool edit##Which##Getter(RuntimeObject *control, int32_t) {                                    \
        return Record(control)->field != 0;                                                        \
    }                                                                                              \
    void edit##Which##Setter(RuntimeObject *control, int32_t, bool value) {                        \
        Record(control)->field = value;                                                            \
        Reshape(control);                                                                          \
    }
KQ_EDIT_SHAPE_FLAG(Border, border)
KQ_EDIT_SHAPE_FLAG(MultiLine, multiLine)

bool editScrollBarGetter(RuntimeObject *control, int32_t offset) {
    return *ScrollBarFlag(control, offset) != 0;
}

void editScrollBarSetter(RuntimeObject *control, int32_t offset, bool value) {
    *ScrollBarFlag(control, offset) = value;
    Reshape(control);
}

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

#define KQ_HIDDEN_STORED(name, field)                                                              \
    {                                                                                              \
        kMemberHidden, name, &kTypeBoolean, KQ_CODE(boolGetter), "boolGetter",                     \
            KQ_CODE(boolSetter), "boolSetter", KQ_EDIT_FIELD(field), 0                             \
    }
#define KQ_HIDDEN_ACCESSED(flags, name, getter, setter, parameter)                                 \
    { flags, name, &kTypeBoolean, KQ_CODE(getter), #getter, KQ_CODE(setter), #setter, parameter, 0 }

// The flag that hides Border from the property list of the language.
constexpr uint32_t kBorderFlag = 128;

const PropertyEntry kEditFieldProperties[] = {
    KQ_CONSTANT("AlignDefault", &kTypeInteger, 0),
    KQ_CONSTANT("AlignLeft", &kTypeInteger, 1),
    KQ_CONSTANT("AlignCenter", &kTypeInteger, 2),
    KQ_CONSTANT("AlignRight", &kTypeInteger, 3),
    KQ_PROPERTY("Text", &kTypeString, editTextGetter, editTextSetter, 0),
    KQ_READONLY_PROPERTY("TextStyleData", &kTypeString, editTextStyleDataGetter, 0),
    KQ_HIDDEN_ACCESSED(kBorderFlag, "Border", editBorderGetter, editBorderSetter, 0),
    KQ_PROPERTY("MultiLine", &kTypeBoolean, editMultiLineGetter, editMultiLineSetter, 0),
    KQ_PROPERTY("ReadOnly", &kTypeBoolean, editReadOnlyGetter, editReadOnlySetter, 0),
    KQ_PROPERTY("Password", &kTypeBoolean, editPasswordGetter, editPasswordSetter, 0),
    KQ_HIDDEN_STORED("Styled", styled),
    KQ_HIDDEN_STORED("AcceptTabs", acceptTabs),
    KQ_PROPERTY("TextColor", &kTypeColor, intGetter, editTextColorSetter, KQ_EDIT_FIELD(textColor)),
    KQ_PROPERTY("BackColor", &kTypeColor, intGetter, editBackColorSetter, KQ_EDIT_FIELD(backColor)),
    KQ_HIDDEN_ACCESSED(kMemberHidden, "ScrollBarHorizontal", editScrollBarGetter,
                       editScrollBarSetter, KQ_EDIT_FIELD(scrollBarHorizontal)),
    KQ_HIDDEN_ACCESSED(kMemberHidden, "ScrollBarVertical", editScrollBarGetter, editScrollBarSetter,
                       KQ_EDIT_FIELD(scrollBarVertical)),
    KQ_HIDDEN_ACCESSED(kMemberHidden, "ScrollBar", editScrollBarGetter, editScrollBarSetter,
                       KQ_EDIT_FIELD(scrollBarVertical)),
    KQ_PROPERTY("TextFont", &kTypeString, editTextFontGetter, editTextFontSetter, 0),
    KQ_PROPERTY("TextSize", &kTypeInteger, editTextSizeGetter, editTextSizeSetter, 0),
    KQ_PROPERTY("Bold", &kTypeBoolean, editBoldGetter, editBoldSetter, 0),
    KQ_PROPERTY("Italic", &kTypeBoolean, editItalicGetter, editItalicSetter, 0),
    KQ_PROPERTY("Underline", &kTypeBoolean, editUnderlineGetter, editUnderlineSetter, 0),
    KQ_PROPERTY("SelStart", &kTypeInteger, editSelStartGetter, editSelStartSetter, 0),
    KQ_PROPERTY("SelLength", &kTypeInteger, editSelLengthGetter, editSelLengthSetter, 0),
    KQ_PROPERTY("SelText", &kTypeString, editSelTextGetter, editSelTextSetter, 0),
    KQ_PROPERTY("LimitText", &kTypeInteger, editLimitTextGetter, editLimitTextSetter, 0),
    KQ_PROPERTY("SelBold", &kTypeBoolean, editSelBoldGetter, editSelBoldSetter, 0),
    KQ_PROPERTY("SelUnderline", &kTypeBoolean, editSelUnderlineGetter, editSelUnderlineSetter, 0),
    KQ_PROPERTY("SelItalic", &kTypeBoolean, editSelItalicGetter, editSelItalicSetter, 0),
    KQ_PROPERTY("SelOutline", &kTypeBoolean, editSelOutlineGetter, editSelOutlineSetter, 0),
    KQ_PROPERTY("SelShadow", &kTypeBoolean, editSelShadowGetter, editSelShadowSetter, 0),
    KQ_PROPERTY("SelCondense", &kTypeBoolean, editSelCondenseGetter, editSelCondenseSetter, 0),
    KQ_PROPERTY("SelExtend", &kTypeBoolean, editSelExtendGetter, editSelExtendSetter, 0),
    KQ_PROPERTY("SelPlain", &kTypeBoolean, editSelPlainGetter, editSelPlainSetter, 0),
    KQ_PROPERTY("SelTextFont", &kTypeString, editSelTextFontGetter, editSelTextFontSetter, 0),
    KQ_PROPERTY("SelTextSize", &kTypeInteger, editSelTextSizeGetter, editSelTextSizeSetter, 0),
    KQ_PROPERTY("SelTextColor", &kTypeColor, editSelTextColorGetter, editSelTextColorSetter, 0),
    KQ_PROPERTY("LiveUpdate", &kTypeBoolean, boolGetter, boolSetter, KQ_EDIT_FIELD(liveUpdate)),
    KQ_HIDDEN_STORED("UseFocusRing", useFocusRing),
    KQ_PROPERTY("DataSource", &kTypeString, EditDataSourceGetter, EditDataSourceSetter, 0),
    KQ_PROPERTY("DataField", &kTypeString, stringGetter, EditDataFieldSetter,
                KQ_EDIT_FIELD(dataField)),
    KQ_PROPERTY("Alignment", &kTypeInteger, intGetter, EditAlignmentSetter,
                KQ_EDIT_FIELD(alignment)),
    KQ_PROPERTY("SelAlignment", &kTypeInteger, EditSelAlignmentGetter, EditSelAlignmentSetter, 0),
    KQ_PROPERTY("Format", &kTypeString, stringGetter, stringSetter, KQ_EDIT_FIELD(format)),
    KQ_READONLY_PROPERTY("FormattedText", &kTypeString, stringGetter, KQ_EDIT_FIELD(formattedText)),
    KQ_PROPERTY("Mask", &kTypeString, stringGetter, EditMaskSetter, KQ_EDIT_FIELD(mask)),
};

const ParameterEntry kTextParameters[] = {KQ_PARAMETER("text", &kTypeString)};
const ParameterEntry kTextAndStyleParameters[] = {KQ_PARAMETER("text", &kTypeString),
                                                  KQ_PARAMETER("styleData", &kTypeString)};
const ParameterEntry kCharPosParameters[] = {KQ_PARAMETER("charPos", &kTypeInteger)};
const ParameterEntry kLineNumParameters[] = {KQ_PARAMETER("lineNum", &kTypeInteger)};
const ParameterEntry kPointParameters[] = {KQ_PARAMETER("x", &kTypeInteger),
                                           KQ_PARAMETER("y", &kTypeInteger)};

const MethodEntry kEditFieldMethods[] = {
    KQ_METHOD("ToggleSelectionBold", nullptr, KQ_NO_TABLE, editToggleSelectionBold),
    KQ_METHOD("ToggleSelectionUnderline", nullptr, KQ_NO_TABLE, editToggleSelectionUnderline),
    KQ_METHOD("ToggleSelectionItalic", nullptr, KQ_NO_TABLE, editToggleSelectionItalic),
    KQ_METHOD("ToggleSelectionShadow", nullptr, KQ_NO_TABLE, editToggleSelectionShadow),
    KQ_METHOD("ToggleSelectionOutline", nullptr, KQ_NO_TABLE, editToggleSelectionOutline),
    KQ_METHOD("ToggleSelectionCondense", nullptr, KQ_NO_TABLE, editToggleSelectionCondense),
    KQ_METHOD("ToggleSelectionExtend", nullptr, KQ_NO_TABLE, editToggleSelectionExtend),
    KQ_METHOD("SetTextAndStyle", nullptr, KQ_TABLE(kTextAndStyleParameters), editSetTextAndStyle),
    KQ_METHOD("setString", nullptr, KQ_TABLE(kTextParameters), editSetString),
    KQ_ASSIGNABLE_METHOD("ScrollPosition", &kTypeInteger, KQ_NO_TABLE, editScrollPositionGetter,
                         editScrollPositionSetter),
    KQ_ASSIGNABLE_METHOD("ScrollPositionX", &kTypeInteger, KQ_NO_TABLE, EditScrollPositionXGetter,
                         EditScrollPositionXSetter),
    KQ_METHOD("LineNumAtCharPos", &kTypeInteger, KQ_TABLE(kCharPosParameters),
              editLineNumAtCharPos),
    KQ_METHOD("CharPosAtLineNum", &kTypeInteger, KQ_TABLE(kLineNumParameters),
              editCharPosAtLineNum),
    KQ_METHOD("CharPosAtXY", &kTypeInteger, KQ_TABLE(kPointParameters), editCharPosAtXY),
    KQ_METHOD("InsertionPosAtXY", &kTypeInteger, KQ_TABLE(kPointParameters), editInsertionPosAtXY),
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
