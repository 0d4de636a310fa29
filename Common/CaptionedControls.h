// The controls that show a caption in a font: PushButton, CheckBox,
// RadioButton, StaticText and GroupBox. They share the first fields after
// RectControl's, and the accessors of those fields:
//
//   offset  field
//   88      caption    Caption (StaticText: Text and Caption)
//   92      font       FontRecord: 92 TextFont, 96 Bold, 97 Italic,
//                      98 Underline, 100 TextSize (signed 16-bit)
//   104     the class's own fields
//
// Setters store the value and, when the control has its pane, give the pane
// the caption and font at once; CreatePane gives them to a new pane.
#pragma once

#include "ButtonPanes.h"
#include "Control.h"

#include <cstddef>

struct CaptionedControlObject {
    RectControlObject rect;
    KESTstring *caption;
    FontRecord font;
};
static_assert(offsetof(CaptionedControlObject, caption) == 88, "Captioned.caption");
static_assert(offsetof(CaptionedControlObject, font) == 92, "Captioned.font");
static_assert(offsetof(CaptionedControlObject, font.bold) == 96, "Captioned.bold");
static_assert(offsetof(CaptionedControlObject, font.italic) == 97, "Captioned.italic");
static_assert(offsetof(CaptionedControlObject, font.underline) == 98, "Captioned.underline");
static_assert(offsetof(CaptionedControlObject, font.size) == 100, "Captioned.size");
static_assert(sizeof(CaptionedControlObject) == 104, "Captioned fields");
constexpr uint32_t kCaptionedControlSize = sizeof(CaptionedControlObject);

namespace captioned {

enum class Style { Bold, Italic, Underline };

// The record of a captioned control; a null control raises
// NilObjectException (and gives null).
CaptionedControlObject *Record(RuntimeObject *control);
// The control's pane as a captioned pane, or null.
CaptionedPane *PaneOf(RuntimeObject *control);

KESTstring *Caption(RuntimeObject *control); // a reference for the caller
void SetCaption(RuntimeObject *control, KESTstring *caption);
KESTstring *FontName(RuntimeObject *control); // a reference for the caller
void SetFontName(RuntimeObject *control, KESTstring *name);
int32_t FontSize(RuntimeObject *control);
void SetFontSize(RuntimeObject *control, int32_t size);
bool StyleOf(RuntimeObject *control, Style style);
void SetStyle(RuntimeObject *control, Style style, bool value);

// Gives the pane the stored font and caption.
void ApplyTo(RuntimeObject *control);
// Releases the caption and the font name (the class finalizers).
void Release(RuntimeObject *control);

} // namespace captioned

// The entry points of a class's caption and font properties, named
// <prefix><CaptionWord>Getter/Setter, <prefix>TextFontGetter/Setter,
// <prefix>TextSizeGetter/Setter, <prefix>BoldGetter/Setter and so on.
#define KQ_CAPTIONED_ENTRY_POINTS(prefix, CaptionWord)                                             \
    KESTstring *prefix##CaptionWord##Getter(RuntimeObject *c, int32_t) {                           \
        return captioned::Caption(c);                                                              \
    }                                                                                              \
    void prefix##CaptionWord##Setter(RuntimeObject *c, int32_t, KESTstring *v) {                   \
        captioned::SetCaption(c, v);                                                               \
    }                                                                                              \
    KESTstring *prefix##TextFontGetter(RuntimeObject *c, int32_t) {                                \
        return captioned::FontName(c);                                                             \
    }                                                                                              \
    void prefix##TextFontSetter(RuntimeObject *c, int32_t, KESTstring *v) {                        \
        captioned::SetFontName(c, v);                                                              \
    }                                                                                              \
    int32_t prefix##TextSizeGetter(RuntimeObject *c, int32_t) {                                    \
        return captioned::FontSize(c);                                                             \
    }                                                                                              \
    void prefix##TextSizeSetter(RuntimeObject *c, int32_t, int32_t v) {                            \
        captioned::SetFontSize(c, v);                                                              \
    }                                                                                              \
    KQ_CAPTIONED_STYLE_ENTRY_POINTS(prefix, Bold)                                                  \
    KQ_CAPTIONED_STYLE_ENTRY_POINTS(prefix, Italic)                                                \
    KQ_CAPTIONED_STYLE_ENTRY_POINTS(prefix, Underline)
#define KQ_CAPTIONED_STYLE_ENTRY_POINTS(prefix, Which)                                             \
    bool prefix##Which##Getter(RuntimeObject *c, int32_t) {                                        \
        return captioned::StyleOf(c, captioned::Style::Which);                                     \
    }                                                                                              \
    void prefix##Which##Setter(RuntimeObject *c, int32_t, bool v) {                                \
        captioned::SetStyle(c, captioned::Style::Which, v);                                        \
    }

// The property rows of the caption, and of the font in the order TextFont,
// TextSize, Bold, Italic, Underline.
#define KQ_CAPTION_PROPERTY_ROW(prefix, CaptionWord)                                               \
    KQ_PROPERTY("Caption", &kTypeString, prefix##CaptionWord##Getter, prefix##CaptionWord##Setter, \
                0)
#define KQ_FONT_PROPERTY_ROWS(prefix)                                                              \
    KQ_PROPERTY("TextFont", &kTypeString, prefix##TextFontGetter, prefix##TextFontSetter, 0),      \
        KQ_PROPERTY("TextSize", &kTypeInteger, prefix##TextSizeGetter, prefix##TextSizeSetter, 0), \
        KQ_PROPERTY("Bold", &kTypeBoolean, prefix##BoldGetter, prefix##BoldSetter, 0),             \
        KQ_PROPERTY("Italic", &kTypeBoolean, prefix##ItalicGetter, prefix##ItalicSetter, 0),       \
        KQ_PROPERTY("Underline", &kTypeBoolean, prefix##UnderlineGetter, prefix##UnderlineSetter,  \
                    0)

// Entry points of the captioned classes that other parts of the runtime use.
extern "C" {
void pushButtonDefaultSetter(RuntimeObject *control, int32_t, bool value);
void pushButtonCancelSetter(RuntimeObject *control, int32_t, bool value);
void StaticTextMultilineSetter(RuntimeObject *control, int32_t, bool value);
}
