// The caption and font fields of the captioned controls (see
// CaptionedControls.h).
#include "CaptionedControls.h"

#include "RuntimeException.h"

namespace captioned {

CaptionedControlObject *Record(RuntimeObject *control) {
    if (control == nullptr) RaiseNilObjectException();
    return reinterpret_cast<CaptionedControlObject *>(control);
}

CaptionedPane *PaneOf(RuntimeObject *control) {
    return dynamic_cast<CaptionedPane *>(controls::PaneOf(control));
}

KESTstring *Caption(RuntimeObject *control) {
    CaptionedControlObject *c = Record(control);
    return c != nullptr ? kstr::Share(c->caption) : nullptr;
}

void SetCaption(RuntimeObject *control, KESTstring *caption) {
    CaptionedControlObject *c = Record(control);
    if (c == nullptr) return;
    RuntimeLockUnlockStrings(caption, c->caption);
    c->caption = caption;
    if (CaptionedPane *pane = PaneOf(control)) pane->SetCaption(c->caption, c->font);
}

KESTstring *FontName(RuntimeObject *control) {
    CaptionedControlObject *c = Record(control);
    return c != nullptr ? kstr::Share(c->font.name) : nullptr;
}

void SetFontName(RuntimeObject *control, KESTstring *name) {
    CaptionedControlObject *c = Record(control);
    if (c == nullptr) return;
    RuntimeLockUnlockStrings(name, c->font.name);
    c->font.name = name;
    ApplyTo(control);
}

int32_t FontSize(RuntimeObject *control) {
    CaptionedControlObject *c = Record(control);
    return c != nullptr ? c->font.size : 0;
}

void SetFontSize(RuntimeObject *control, int32_t size) {
    CaptionedControlObject *c = Record(control);
    if (c == nullptr) return;
    c->font.size = int16_t(size);
    ApplyTo(control);
}

namespace {

uint8_t *StyleField(CaptionedControlObject *c, Style style) {
    switch (style) {
    case Style::Bold:
        return &c->font.bold;
    case Style::Italic:
        return &c->font.italic;
    case Style::Underline:
        break;
    }
    return &c->font.underline;
}

} // namespace

bool StyleOf(RuntimeObject *control, Style style) {
    CaptionedControlObject *c = Record(control);
    return c != nullptr && *StyleField(c, style) != 0;
}

void SetStyle(RuntimeObject *control, Style style, bool value) {
    CaptionedControlObject *c = Record(control);
    if (c == nullptr) return;
    *StyleField(c, style) = value;
    ApplyTo(control);
}

void ApplyTo(RuntimeObject *control) {
    CaptionedPane *pane = PaneOf(control);
    if (pane == nullptr) return;
    CaptionedControlObject *c = Record(control);
    // The caption after the font: setting it again takes the underline off
    // when the font no longer asks for it.
    pane->SetFont(c->font);
    pane->SetCaption(c->caption, c->font);
}

void Release(RuntimeObject *control) {
    auto *c = reinterpret_cast<CaptionedControlObject *>(control);
    controls::DestroyPane(control);
    RuntimeUnlockString(c->caption);
    RuntimeUnlockString(c->font.name);
    c->caption = c->font.name = nullptr;
}

} // namespace captioned
