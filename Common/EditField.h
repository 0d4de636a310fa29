// The record of an `EditField` object, shared by the files of its language
// binding: runEditControl (the class, its router, text, format and mask)
// and runEditStyles (styled text and positions in the laid-out text).
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
#pragma once

#include "Control.h"
#include "EditControlGTK.h"

#include <string>

class EditMask;

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

namespace editfield {

// The record of an EditField (NilObjectException for nil).
EditFieldObject *Record(RuntimeObject *control);
// Its pane, or null while its window is not open.
EditControlGTK *PaneOf(RuntimeObject *control);
// Text from the widget (UTF-8) as a string for the caller.
KESTstring *FromPane(const std::string &utf8);
// A string for the widget in UTF-8; false (after the failed assertion) for
// text that cannot be brought to UTF-8.
bool ToPane(KESTstring *s, std::string *utf8);

} // namespace editfield

extern "C" {
void editTextSetter(RuntimeObject *control, int32_t, KESTstring *value);

// Styled text and positions (runEditStyles), named by the class table.
KESTstring *editTextStyleDataGetter(RuntimeObject *control, int32_t);
void editSetTextAndStyle(RuntimeObject *control, KESTstring *text, KESTstring *styleData);
#define KQ_EDIT_SEL_STYLE_DECLARATIONS(Which)                                                      \
    bool editSel##Which##Getter(RuntimeObject *control, int32_t);                                  \
    void editSel##Which##Setter(RuntimeObject *control, int32_t, bool value);
KQ_EDIT_SEL_STYLE_DECLARATIONS(Bold)
KQ_EDIT_SEL_STYLE_DECLARATIONS(Italic)
KQ_EDIT_SEL_STYLE_DECLARATIONS(Underline)
KQ_EDIT_SEL_STYLE_DECLARATIONS(Outline)
KQ_EDIT_SEL_STYLE_DECLARATIONS(Shadow)
KQ_EDIT_SEL_STYLE_DECLARATIONS(Condense)
KQ_EDIT_SEL_STYLE_DECLARATIONS(Extend)
KQ_EDIT_SEL_STYLE_DECLARATIONS(Plain)
#undef KQ_EDIT_SEL_STYLE_DECLARATIONS
void editToggleSelectionBold(RuntimeObject *control);
void editToggleSelectionItalic(RuntimeObject *control);
void editToggleSelectionUnderline(RuntimeObject *control);
void editToggleSelectionOutline(RuntimeObject *control);
void editToggleSelectionShadow(RuntimeObject *control);
void editToggleSelectionCondense(RuntimeObject *control);
void editToggleSelectionExtend(RuntimeObject *control);
KESTstring *editSelTextFontGetter(RuntimeObject *control, int32_t);
void editSelTextFontSetter(RuntimeObject *control, int32_t, KESTstring *value);
int32_t editSelTextSizeGetter(RuntimeObject *control, int32_t);
void editSelTextSizeSetter(RuntimeObject *control, int32_t, int32_t value);
uint32_t editSelTextColorGetter(RuntimeObject *control, int32_t);
void editSelTextColorSetter(RuntimeObject *control, int32_t, uint32_t value);
int32_t EditSelAlignmentGetter(RuntimeObject *control, int32_t);
void EditSelAlignmentSetter(RuntimeObject *control, int32_t, int32_t value);
int32_t editScrollPositionGetter(RuntimeObject *control);
void editScrollPositionSetter(RuntimeObject *control, int32_t line);
int32_t EditScrollPositionXGetter(RuntimeObject *control);
void EditScrollPositionXSetter(RuntimeObject *control, int32_t pixels);
int32_t editLineNumAtCharPos(RuntimeObject *control, int32_t position);
int32_t editCharPosAtLineNum(RuntimeObject *control, int32_t line);
int32_t editCharPosAtXY(RuntimeObject *control, int32_t x, int32_t y);
int32_t editInsertionPosAtXY(RuntimeObject *control, int32_t x, int32_t y);
}
