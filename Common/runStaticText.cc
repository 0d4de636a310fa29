// The label classes of the class model: `StaticText` and `GroupBox`, with
// their entry points. Their panes report through RuntimePaneDelegate.
//
//   StaticText  88 Text/Caption, 92 the font (CaptionedControls.h),
//               104 TextAlign (16-bit), 106 MultiLine, 108 TextColor,
//               112 DataSource, 116 DataField; size 120
//   GroupBox    the caption and the font; size 104
#include "CaptionedControls.h"
#include "RuntimePaneDelegate.h"

namespace {

struct StaticTextObject {
    CaptionedControlObject captioned;
    int16_t textAlign;
    uint8_t multiLine;
    uint32_t textColor;
    KESTstring *dataSource;
    KESTstring *dataField;
};
static_assert(offsetof(StaticTextObject, textAlign) == 104, "StaticText.TextAlign");
static_assert(offsetof(StaticTextObject, multiLine) == 106, "StaticText.MultiLine");
static_assert(offsetof(StaticTextObject, textColor) == 108, "StaticText.TextColor");
static_assert(offsetof(StaticTextObject, dataSource) == 112, "StaticText.DataSource");
static_assert(offsetof(StaticTextObject, dataField) == 116, "StaticText.DataField");
static_assert(sizeof(StaticTextObject) == 120, "StaticText instance size");

EventEntry kStaticTextEvents[] = {
    KQ_EVENT("AcceleratorKey", "", nullptr),
    KQ_EVENT("MouseDown", "X As Integer, Y As Integer", "Boolean"),
    KQ_EVENT("MouseDrag", "X As Integer, Y As Integer", nullptr),
    KQ_EVENT("MouseUp", "X As Integer, Y As Integer", nullptr),
};
const ControlEventSet kStaticTextEventSet = {
    &kStaticTextEvents[1], &kStaticTextEvents[2], &kStaticTextEvents[3], nullptr, nullptr, nullptr};

EventEntry kGroupBoxEvents[] = {
    KQ_EVENT("MouseDown", "X As Integer, Y As Integer", "Boolean"),
    KQ_EVENT("MouseDrag", "X As Integer, Y As Integer", nullptr),
    KQ_EVENT("MouseUp", "X As Integer, Y As Integer", nullptr),
};
const ControlEventSet kGroupBoxEventSet = {
    &kGroupBoxEvents[0], &kGroupBoxEvents[1], &kGroupBoxEvents[2], nullptr, nullptr, nullptr};

StaticTextObject *Record(RuntimeObject *control) {
    return reinterpret_cast<StaticTextObject *>(captioned::Record(control));
}

StaticTextGeneric *LabelOf(RuntimeObject *control) {
    return dynamic_cast<StaticTextGeneric *>(controls::PaneOf(control));
}

} // namespace

extern "C" {

// ---------------------------------------------------------------------------
// StaticText

void StaticTextCreatePane(RuntimeObject *control) {
    StaticTextObject *s = Record(control);
    auto *pane = new StaticTextGeneric(controls::ParentPaneFor(control));
    pane->SetDelegate(new RuntimePaneDelegate(control, &kStaticTextEventSet));
    controls::AttachPane(control, pane);
    captioned::ApplyTo(control);
    pane->SetMultiLine(s->multiLine);
    pane->SetAlignment(s->textAlign);
    pane->SetTextColor(s->textColor);
}

void StaticTextDestructor(RuntimeObject *control) {
    StaticTextObject *s = reinterpret_cast<StaticTextObject *>(control);
    captioned::Release(control);
    RuntimeUnlockString(s->dataSource);
    RuntimeUnlockString(s->dataField);
    s->dataSource = s->dataField = nullptr;
}

void staticCaptionSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    captioned::SetCaption(control, value);
}

void StaticTextSetString(RuntimeObject *control, KESTstring *value) {
    captioned::SetCaption(control, value);
}

void staticTextFontSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    captioned::SetFontName(control, value);
}

void staticTextSizeSetter(RuntimeObject *control, int32_t, int32_t value) {
    captioned::SetFontSize(control, value);
}

// Bold, Italic and Underline: the parameter is the offset of the byte.
void staticAttributeSetter(RuntimeObject *control, int32_t offset, bool value) {
    constexpr int32_t kBold = offsetof(CaptionedControlObject, font.bold);
    if (offset < kBold || offset > kBold + 2) return;
    captioned::SetStyle(control, captioned::Style(offset - kBold), value);
}

void staticTextAlignSetter(RuntimeObject *control, int32_t, int32_t value) {
    StaticTextObject *s = Record(control);
    if (s == nullptr) return;
    s->textAlign = int16_t(value);
    if (StaticTextGeneric *pane = LabelOf(control)) pane->SetAlignment(value);
}

void StaticTextMultilineSetter(RuntimeObject *control, int32_t, bool value) {
    StaticTextObject *s = Record(control);
    if (s == nullptr) return;
    s->multiLine = value;
    if (StaticTextGeneric *pane = LabelOf(control)) pane->SetMultiLine(value);
}

void staticTextColorSetter(RuntimeObject *control, int32_t, uint32_t value) {
    StaticTextObject *s = Record(control);
    if (s == nullptr) return;
    s->textColor = value;
    if (StaticTextGeneric *pane = LabelOf(control)) pane->SetTextColor(value);
}

KESTstring *StaticTextDataSourceGetter(RuntimeObject *control, int32_t) {
    StaticTextObject *s = Record(control);
    return s != nullptr ? kstr::Share(s->dataSource) : nullptr;
}

void StaticTextDataSourceSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    stringSetter(control, offsetof(StaticTextObject, dataSource), value);
}

void StaticTextDataFieldSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    stringSetter(control, offsetof(StaticTextObject, dataField), value);
}

// ---------------------------------------------------------------------------
// GroupBox

KQ_CAPTIONED_ENTRY_POINTS(group, Caption)

void GroupBoxCreatePane(RuntimeObject *control) {
    auto *pane = new GroupBoxGTK(controls::ParentPaneFor(control));
    pane->SetDelegate(new RuntimePaneDelegate(control, &kGroupBoxEventSet));
    controls::AttachPane(control, pane);
    captioned::ApplyTo(control);
}

void groupBoxDestructor(RuntimeObject *control) {
    captioned::Release(control);
}

} // extern "C"

namespace {

#define KQ_STATIC_FIELD(field) offsetof(StaticTextObject, field)
#define KQ_FONT_FIELD(field) offsetof(CaptionedControlObject, font.field)

const PropertyEntry kStaticTextProperties[] = {
    KQ_CONSTANT("AlignLeft", &kTypeInteger, 0),
    KQ_CONSTANT("AlignCenter", &kTypeInteger, 1),
    KQ_CONSTANT("AlignRight", &kTypeInteger, 2),
    KQ_PROPERTY("Text", &kTypeString, stringGetter, staticCaptionSetter,
                offsetof(CaptionedControlObject, caption)),
    KQ_PROPERTY("Caption", &kTypeString, stringGetter, staticCaptionSetter,
                offsetof(CaptionedControlObject, caption)),
    KQ_PROPERTY("TextAlign", &kTypeInt16, shortGetter, staticTextAlignSetter,
                KQ_STATIC_FIELD(textAlign)),
    KQ_PROPERTY("TextColor", &kTypeColor, intGetter, staticTextColorSetter,
                KQ_STATIC_FIELD(textColor)),
    KQ_PROPERTY("TextFont", &kTypeString, stringGetter, staticTextFontSetter, KQ_FONT_FIELD(name)),
    KQ_PROPERTY("TextSize", &kTypeInt16, shortGetter, staticTextSizeSetter, KQ_FONT_FIELD(size)),
    KQ_PROPERTY("Bold", &kTypeBoolean, boolGetter, staticAttributeSetter, KQ_FONT_FIELD(bold)),
    KQ_PROPERTY("Italic", &kTypeBoolean, boolGetter, staticAttributeSetter, KQ_FONT_FIELD(italic)),
    KQ_PROPERTY("Underline", &kTypeBoolean, boolGetter, staticAttributeSetter,
                KQ_FONT_FIELD(underline)),
    KQ_PROPERTY("MultiLine", &kTypeBoolean, boolGetter, StaticTextMultilineSetter,
                KQ_STATIC_FIELD(multiLine)),
    KQ_PROPERTY("DataSource", &kTypeString, StaticTextDataSourceGetter, StaticTextDataSourceSetter,
                0),
    KQ_PROPERTY("DataField", &kTypeString, stringGetter, StaticTextDataFieldSetter,
                KQ_STATIC_FIELD(dataField)),
};

const ParameterEntry kSetStringParameters[] = {KQ_PARAMETER("s", &kTypeString)};
const MethodEntry kStaticTextMethods[] = {
    KQ_METHOD("setString", nullptr, KQ_TABLE(kSetStringParameters), StaticTextSetString),
};

const HookEntry kStaticTextHooks[] = {KQ_HOOK("CreatePane", StaticTextCreatePane)};

const RuntimeClassDeclaration kStaticTextDeclaration = {"StaticText",
                                                        &RectControlDefinition,
                                                        sizeof(StaticTextObject),
                                                        KQ_GUI_ONLY,
                                                        false,
                                                        KQ_TABLE(kStaticTextProperties),
                                                        KQ_TABLE(kStaticTextMethods),
                                                        KQ_TABLE(kStaticTextEvents),
                                                        KQ_TABLE(kStaticTextHooks),
                                                        KQ_NO_TABLE,
                                                        KQ_NO_FUNCTION,
                                                        KQ_FUNCTION(StaticTextDestructor)};

const PropertyEntry kGroupBoxProperties[] = {
    KQ_CAPTION_PROPERTY_ROW(group, Caption),
    KQ_FONT_PROPERTY_ROWS(group),
};

const HookEntry kGroupBoxHooks[] = {KQ_HOOK("CreatePane", GroupBoxCreatePane)};

const RuntimeClassDeclaration kGroupBoxDeclaration = {"GroupBox",
                                                      &RectControlDefinition,
                                                      kCaptionedControlSize,
                                                      KQ_GUI_ONLY,
                                                      false,
                                                      KQ_TABLE(kGroupBoxProperties),
                                                      KQ_NO_TABLE,
                                                      KQ_TABLE(kGroupBoxEvents),
                                                      KQ_TABLE(kGroupBoxHooks),
                                                      KQ_NO_TABLE,
                                                      KQ_NO_FUNCTION,
                                                      KQ_FUNCTION(groupBoxDestructor)};

} // namespace

ObjectDefinition StaticTextDefinition(&kStaticTextDeclaration);
ObjectDefinition GroupBoxDefinition(&kGroupBoxDeclaration);
