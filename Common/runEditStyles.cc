// Styled text of `EditField` and positions in its laid-out text: the
// selection style properties (SelBold ... SelPlain, SelTextFont,
// SelTextSize, SelTextColor, SelAlignment), the ToggleSelection methods,
// TextStyleData and SetTextAndStyle (the text form of EditStyleRuns.h),
// the scroll positions, and the conversions between characters, lines and
// points.
//
// The styles live in the multi-line widget; a single-line field, or one
// without a pane, has the field's own font for all of its text. Reading a
// style of the selection reports the field's own value where the selected
// characters carry none of their own; changing one acts on the selected
// characters of a multi-line field and on nothing else.
#include "EditField.h"
#include "RuntimeException.h"

namespace {

using editfield::FromPane;
using editfield::PaneOf;
using editfield::Record;
using editfield::ToPane;

// The pane of a multi-line field, or null.
EditControlGTK *StyledPane(RuntimeObject *control) {
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr && pane->IsMultiLine() ? pane : nullptr;
}

// The field's own value of a style flag (Bold, Italic and Underline are
// properties of the field's font).
bool OwnStyle(const EditFieldObject *e, uint8_t style) {
    return (style == kEditBold && e->font.bold) || (style == kEditItalic && e->font.italic) ||
           (style == kEditUnderline && e->font.underline);
}

bool SelectionHas(RuntimeObject *control, uint8_t style) {
    EditFieldObject *e = Record(control);
    uint8_t every = 0, some = 0;
    if (EditControlGTK *pane = StyledPane(control)) pane->SelectionStyles(&every, &some);
    return OwnStyle(e, style) || (every & style) != 0;
}

void SetSelectionStyle(RuntimeObject *control, uint8_t style, bool on) {
    Record(control);
    if (EditControlGTK *pane = StyledPane(control)) pane->SetSelectionStyle(style, on);
}

void ToggleSelectionStyle(RuntimeObject *control, uint8_t style) {
    SetSelectionStyle(control, style, !SelectionHas(control, style));
}

constexpr uint8_t kAllStyles = (1u << kEditStyleCount) - 1;

} // namespace

extern "C" {

#define KQ_EDIT_SEL_STYLE(Which, style)                                                            \
    bool editSel##Which##Getter(RuntimeObject *control, int32_t) {                                 \
        return SelectionHas(control, style);                                                       \
    }                                                                                              \
    void editSel##Which##Setter(RuntimeObject *control, int32_t, bool value) {                     \
        SetSelectionStyle(control, style, value);                                                  \
    }                                                                                              \
    void editToggleSelection##Which(RuntimeObject *control) {                                      \
        ToggleSelectionStyle(control, style);                                                      \
    }
KQ_EDIT_SEL_STYLE(Bold, kEditBold)
KQ_EDIT_SEL_STYLE(Italic, kEditItalic)
KQ_EDIT_SEL_STYLE(Underline, kEditUnderline)
KQ_EDIT_SEL_STYLE(Outline, kEditOutline)
KQ_EDIT_SEL_STYLE(Shadow, kEditShadow)
KQ_EDIT_SEL_STYLE(Condense, kEditCondense)
KQ_EDIT_SEL_STYLE(Extend, kEditExtend)

// Plain: no selected character has any style; setting it removes them all.
bool editSelPlainGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    uint8_t every = 0, some = 0;
    if (EditControlGTK *pane = StyledPane(control)) pane->SelectionStyles(&every, &some);
    return some == 0 && !e->font.bold && !e->font.italic && !e->font.underline;
}

void editSelPlainSetter(RuntimeObject *control, int32_t, bool value) {
    if (value) SetSelectionStyle(control, kAllStyles, false);
}

KESTstring *editSelTextFontGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = StyledPane(control);
    std::string family = pane != nullptr ? pane->SelectionFont() : std::string();
    return family.empty() ? kstr::Share(e->font.name) : FromPane(family);
}

void editSelTextFontSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    Record(control);
    std::string family;
    if (EditControlGTK *pane = StyledPane(control))
        if (ToPane(value, &family)) pane->SetSelectionFont(family);
}

int32_t editSelTextSizeGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = StyledPane(control);
    int size = pane != nullptr ? pane->SelectionSize() : 0;
    return size > 0 ? size : e->font.size;
}

void editSelTextSizeSetter(RuntimeObject *control, int32_t, int32_t value) {
    Record(control);
    if (EditControlGTK *pane = StyledPane(control)) pane->SetSelectionSize(value);
}

uint32_t editSelTextColorGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = StyledPane(control);
    uint32_t colour;
    return pane != nullptr && pane->SelectionColour(&colour) ? colour : e->textColor;
}

void editSelTextColorSetter(RuntimeObject *control, int32_t, uint32_t value) {
    Record(control);
    if (EditControlGTK *pane = StyledPane(control)) pane->SetSelectionColour(value & 0xFFFFFF);
}

int32_t EditSelAlignmentGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    EditControlGTK *pane = StyledPane(control);
    int alignment = pane != nullptr ? pane->SelectionAlignment() : 0;
    return alignment != 0 ? alignment : e->alignment;
}

void EditSelAlignmentSetter(RuntimeObject *control, int32_t, int32_t value) {
    Record(control);
    if (EditControlGTK *pane = StyledPane(control)) pane->SetSelectionAlignment(value);
}

KESTstring *editTextStyleDataGetter(RuntimeObject *control, int32_t) {
    EditFieldObject *e = Record(control);
    if (EditControlGTK *pane = PaneOf(control)) return FromPane(FormatStyleRuns(pane->StyleRuns()));
    std::string text;
    EditStyleRun plain;
    if (ToPane(e->text, &text)) plain.length = int(g_utf8_strlen(text.c_str(), -1));
    return plain.length > 0 ? FromPane(FormatStyleRuns({plain})) : nullptr;
}

// The text with the styles of TextStyleData. Style data that is no such
// text, or that does not cover the text exactly, is refused before anything
// changes.
void editSetTextAndStyle(RuntimeObject *control, KESTstring *text, KESTstring *styleData) {
    Record(control);
    std::string utf8, data;
    std::vector<EditStyleRun> runs;
    if (!ToPane(text, &utf8) || !ToPane(styleData, &data)) return;
    int64_t covered = 0;
    bool parsed = ParseStyleRuns(data, &runs);
    for (const EditStyleRun &run : runs)
        covered += run.length;
    if (!parsed || covered != g_utf8_strlen(utf8.c_str(), -1)) {
        exceptions::RaiseWithMessage(&UnsupportedFormatExceptionDefinition,
                                     "The text style data does not fit the text.", 0);
        return;
    }
    editTextSetter(control, 0, text);
    if (EditControlGTK *pane = PaneOf(control)) pane->ApplyStyleRuns(runs);
}

// Scroll positions: the first shown line, and the horizontal offset in
// pixels; 0 without a pane.
int32_t editScrollPositionGetter(RuntimeObject *control) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr ? pane->ScrollPosition() : 0;
}

void editScrollPositionSetter(RuntimeObject *control, int32_t line) {
    Record(control);
    if (EditControlGTK *pane = PaneOf(control)) pane->SetScrollPosition(line);
}

int32_t EditScrollPositionXGetter(RuntimeObject *control) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr ? pane->HorizontalScroll() : 0;
}

void EditScrollPositionXSetter(RuntimeObject *control, int32_t pixels) {
    Record(control);
    if (EditControlGTK *pane = PaneOf(control)) pane->SetHorizontalScroll(pixels);
}

// Characters, shown lines and points (relative to the field). Without a
// pane there is no layout: every character is on line 0, and lines and
// points lead to no character (-1).
int32_t editLineNumAtCharPos(RuntimeObject *control, int32_t position) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr ? pane->LineAtCharacter(position) : 0;
}

int32_t editCharPosAtLineNum(RuntimeObject *control, int32_t line) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr ? pane->CharacterAtLine(line) : -1;
}

int32_t editCharPosAtXY(RuntimeObject *control, int32_t x, int32_t y) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr ? pane->CharacterAtPoint(x, y) : -1;
}

int32_t editInsertionPosAtXY(RuntimeObject *control, int32_t x, int32_t y) {
    Record(control);
    EditControlGTK *pane = PaneOf(control);
    return pane != nullptr ? pane->InsertionAtPoint(x, y) : -1;
}

} // extern "C"
