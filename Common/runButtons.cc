// The button classes of the class model: `PushButton`, `CheckBox` and
// `RadioButton`, their panes' routers (RuntimeButtonRouter,
// RuntimeCheckBoxRouter, RuntimeRadioRouter) and their entry points.
//
//   PushButton   104 Default, 105 Cancel, 108 action receivers; size 112
//   CheckBox     104 Value (State), 108 action receivers, 112 DataSource,
//                116 DataField; size 120
//   RadioButton  104 Value (before the pane exists), 108 action receivers;
//                size 112
//
// The receivers stand at the same place in all three, so that RadioButton
// shares PushButton's pair of notification entry points.
// (the caption and font fields before them: CaptionedControls.h). Events
// after RectControl's: Action, MouseDown, MouseUp, GotFocus, LostFocus.
#include "ActionReceivers.h"
#include "CaptionedControls.h"
#include "RuntimePaneDelegate.h"

namespace {

struct PushButtonObject {
    CaptionedControlObject captioned;
    uint8_t isDefault;
    uint8_t isCancel;
    ActionReceiverList *receivers;
};
static_assert(offsetof(PushButtonObject, isDefault) == 104, "PushButton.Default");
static_assert(offsetof(PushButtonObject, isCancel) == 105, "PushButton.Cancel");
static_assert(offsetof(PushButtonObject, receivers) == 108, "PushButton.receivers");
static_assert(sizeof(PushButtonObject) == 112, "PushButton instance size");

struct CheckBoxObject {
    CaptionedControlObject captioned;
    uint8_t value;
    ActionReceiverList *receivers;
    KESTstring *dataSource;
    KESTstring *dataField;
};
static_assert(offsetof(CheckBoxObject, value) == 104, "CheckBox.Value");
static_assert(offsetof(CheckBoxObject, receivers) == 108, "CheckBox.receivers");
static_assert(offsetof(CheckBoxObject, dataSource) == 112, "CheckBox.DataSource");
static_assert(offsetof(CheckBoxObject, dataField) == 116, "CheckBox.DataField");
static_assert(sizeof(CheckBoxObject) == 120, "CheckBox instance size");

struct RadioButtonObject {
    CaptionedControlObject captioned;
    uint8_t value;
    ActionReceiverList *receivers;
};
static_assert(offsetof(RadioButtonObject, value) == 104, "RadioButton.Value");
static_assert(offsetof(RadioButtonObject, receivers) == offsetof(PushButtonObject, receivers),
              "RadioButton.receivers where PushButton's are");
static_assert(sizeof(RadioButtonObject) == 112, "RadioButton instance size");

// The five events of each button class, in this order.
#define KQ_BUTTON_EVENT_ROWS                                                                       \
    KQ_EVENT("Action", "", nullptr),                                                               \
        KQ_EVENT("MouseDown", "X As Integer, Y As Integer", "Boolean"),                            \
        KQ_EVENT("MouseUp", "X As Integer, Y As Integer", "Boolean"),                              \
        KQ_EVENT("GotFocus", "", nullptr), KQ_EVENT("LostFocus", "", nullptr)

EventEntry kPushButtonEvents[] = {KQ_BUTTON_EVENT_ROWS};
EventEntry kCheckBoxEvents[] = {KQ_BUTTON_EVENT_ROWS};
EventEntry kRadioButtonEvents[] = {KQ_BUTTON_EVENT_ROWS};

constexpr ControlEventSet ButtonEventSet(const EventEntry *events) {
    return {&events[1], nullptr, &events[2], &events[3], &events[4], nullptr};
}
const ControlEventSet kPushButtonEventSet = ButtonEventSet(kPushButtonEvents);
const ControlEventSet kCheckBoxEventSet = ButtonEventSet(kCheckBoxEvents);
const ControlEventSet kRadioButtonEventSet = ButtonEventSet(kRadioButtonEvents);

// The action of a button: its receivers are told, then Action is raised.
void RaiseAction(RuntimeObject *control, const EventEntry *events,
                 ActionReceiverList *const *receivers) {
    Ref<> keep(control);
    if (receivers != nullptr) actionreceivers::Notify(*receivers);
    events::Raise(control, events[0].item);
}

// The router of the three button kinds: the common callbacks and the action.
class RuntimeActionRouter : public ControlRouter<ActionDelegate> {
  public:
    RuntimeActionRouter(RuntimeObject *control, const ControlEventSet *set,
                        const EventEntry *events, ActionReceiverList *const *receivers)
        : ControlRouter(control, set), mEvents(events), mReceivers(receivers) {}

    void Action() override { RaiseAction(mControl, mEvents, mReceivers); }

  private:
    const EventEntry *mEvents;
    ActionReceiverList *const *mReceivers;
};
using RuntimeButtonRouter = RuntimeActionRouter;
using RuntimeCheckBoxRouter = RuntimeActionRouter;
using RuntimeRadioRouter = RuntimeActionRouter;

template <typename Record>
Record *RecordOf(RuntimeObject *control) {
    return reinterpret_cast<Record *>(captioned::Record(control));
}

} // namespace

extern "C" {

// ---------------------------------------------------------------------------
// PushButton

KQ_CAPTIONED_ENTRY_POINTS(pushButton, Title)

void PushButtonCreatePane(RuntimeObject *control) {
    auto *b = RecordOf<PushButtonObject>(control);
    auto *pane = new PushButtonGTK(controls::ParentPaneFor(control));
    pane->SetCancel(b->isCancel);
    pane->SetDelegate(
        new RuntimeButtonRouter(control, &kPushButtonEventSet, kPushButtonEvents, &b->receivers));
    controls::AttachPane(control, pane);
    captioned::ApplyTo(control);
    // Placed in its window first: only then can it take the default.
    pane->SetDefault(b->isDefault);
}

void PushButtonDestructor(RuntimeObject *control) {
    captioned::Release(control);
    actionreceivers::Release(reinterpret_cast<PushButtonObject *>(control)->receivers);
}

bool pushButtonDefaultGetter(RuntimeObject *control, int32_t) {
    auto *b = RecordOf<PushButtonObject>(control);
    return b != nullptr && b->isDefault;
}

void pushButtonDefaultSetter(RuntimeObject *control, int32_t, bool value) {
    auto *b = RecordOf<PushButtonObject>(control);
    if (b == nullptr) return;
    b->isDefault = value;
    if (auto *pane = dynamic_cast<PushButtonGTK *>(controls::PaneOf(control)))
        pane->SetDefault(value);
}

bool pushButtonCancelGetter(RuntimeObject *control, int32_t) {
    auto *b = RecordOf<PushButtonObject>(control);
    return b != nullptr && b->isCancel;
}

void pushButtonCancelSetter(RuntimeObject *control, int32_t, bool value) {
    auto *b = RecordOf<PushButtonObject>(control);
    if (b == nullptr) return;
    b->isCancel = value;
    if (auto *pane = dynamic_cast<PushButtonGTK *>(controls::PaneOf(control)))
        pane->SetCancel(value);
}

void pushButtonPush(RuntimeObject *control) {
    auto *b = RecordOf<PushButtonObject>(control);
    if (b != nullptr) RaiseAction(control, kPushButtonEvents, &b->receivers);
}

void pbAddActionNotificationReceiver(RuntimeObject *control, RuntimeObject *receiver) {
    if (auto *b = RecordOf<PushButtonObject>(control)) actionreceivers::Add(b->receivers, receiver);
}

void pbRemoveActionNotificationReceiver(RuntimeObject *control, RuntimeObject *receiver) {
    if (auto *b = RecordOf<PushButtonObject>(control))
        actionreceivers::Remove(b->receivers, receiver);
}

// ---------------------------------------------------------------------------
// CheckBox

KQ_CAPTIONED_ENTRY_POINTS(checkBox, Title)

void CheckBoxCreatePane(RuntimeObject *control) {
    auto *c = RecordOf<CheckBoxObject>(control);
    auto *pane = new CheckBoxGTK(controls::ParentPaneFor(control));
    // The stored value is no change of the user's: set before the router.
    pane->SetValue(c->value);
    pane->SetDelegate(
        new RuntimeCheckBoxRouter(control, &kCheckBoxEventSet, kCheckBoxEvents, &c->receivers));
    controls::AttachPane(control, pane);
    captioned::ApplyTo(control);
}

void checkBoxDestructor(RuntimeObject *control) {
    auto *c = reinterpret_cast<CheckBoxObject *>(control);
    captioned::Release(control);
    actionreceivers::Release(c->receivers);
    RuntimeUnlockString(c->dataSource);
    RuntimeUnlockString(c->dataField);
    c->dataSource = c->dataField = nullptr;
}

bool checkBoxValueGetter(RuntimeObject *control, int32_t) {
    auto *c = RecordOf<CheckBoxObject>(control);
    if (c == nullptr) return false;
    if (auto *pane = dynamic_cast<CheckBoxGTK *>(controls::PaneOf(control)))
        c->value = pane->Value();
    return c->value != 0;
}

void checkBoxValueSetter(RuntimeObject *control, int32_t, bool value) {
    auto *c = RecordOf<CheckBoxObject>(control);
    if (c == nullptr) return;
    c->value = value;
    if (auto *pane = dynamic_cast<CheckBoxGTK *>(controls::PaneOf(control))) pane->SetValue(value);
}

bool checkBoxGetBoolean(RuntimeObject *control) {
    return checkBoxValueGetter(control, 0);
}

void checkBoxSetBoolean(RuntimeObject *control, bool value) {
    checkBoxValueSetter(control, 0, value);
}

void cbaAddActionNotificationReceiver(RuntimeObject *control, RuntimeObject *receiver) {
    if (auto *c = RecordOf<CheckBoxObject>(control)) actionreceivers::Add(c->receivers, receiver);
}

void cbaRemoveActionNotificationReceiver(RuntimeObject *control, RuntimeObject *receiver) {
    if (auto *c = RecordOf<CheckBoxObject>(control))
        actionreceivers::Remove(c->receivers, receiver);
}

KESTstring *CheckBoxDataSourceGetter(RuntimeObject *control, int32_t) {
    auto *c = RecordOf<CheckBoxObject>(control);
    return c != nullptr ? kstr::Share(c->dataSource) : nullptr;
}

void CheckBoxDataSourceSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    stringSetter(control, offsetof(CheckBoxObject, dataSource), value);
}

void CheckBoxDataFieldSetter(RuntimeObject *control, int32_t, KESTstring *value) {
    stringSetter(control, offsetof(CheckBoxObject, dataField), value);
}

// ---------------------------------------------------------------------------
// RadioButton

KQ_CAPTIONED_ENTRY_POINTS(radio, Title)

void RadioCreatePane(RuntimeObject *control) {
    auto *r = RecordOf<RadioButtonObject>(control);
    auto *pane = new RadioButtonGTK(controls::ParentPaneFor(control));
    pane->SetValue(r->value);
    pane->SetDelegate(
        new RuntimeRadioRouter(control, &kRadioButtonEventSet, kRadioButtonEvents, &r->receivers));
    controls::AttachPane(control, pane);
    captioned::ApplyTo(control);
}

void radioDestructor(RuntimeObject *control) {
    captioned::Release(control);
    actionreceivers::Release(reinterpret_cast<RadioButtonObject *>(control)->receivers);
}

bool radioValueGetter(RuntimeObject *control, int32_t) {
    auto *r = RecordOf<RadioButtonObject>(control);
    if (r == nullptr) return false;
    if (auto *pane = dynamic_cast<RadioButtonGTK *>(controls::PaneOf(control)))
        r->value = pane->Value();
    return r->value != 0;
}

void radioValueSetter(RuntimeObject *control, int32_t, bool value) {
    auto *r = RecordOf<RadioButtonObject>(control);
    if (r == nullptr) return;
    r->value = value;
    if (auto *pane = dynamic_cast<RadioButtonGTK *>(controls::PaneOf(control)))
        pane->SetValue(value);
}

} // extern "C"

namespace {

const PropertyEntry kPushButtonProperties[] = {
    KQ_CAPTION_PROPERTY_ROW(pushButton, Title),
    KQ_PROPERTY("Default", &kTypeBoolean, pushButtonDefaultGetter, pushButtonDefaultSetter, 0),
    KQ_PROPERTY("Cancel", &kTypeBoolean, pushButtonCancelGetter, pushButtonCancelSetter, 0),
    KQ_FONT_PROPERTY_ROWS(pushButton),
};

const ParameterEntry kReceiverParameters[] = {
    KQ_PARAMETER("receiver", &actionNotificationReceiverDefinition)};

const MethodEntry kPushButtonMethods[] = {
    KQ_METHOD("Push", nullptr, KQ_NO_TABLE, pushButtonPush),
    KQ_METHOD("addActionNotificationReceiver", nullptr, KQ_TABLE(kReceiverParameters),
              pbAddActionNotificationReceiver),
    KQ_METHOD("removeActionNotificationReceiver", nullptr, KQ_TABLE(kReceiverParameters),
              pbRemoveActionNotificationReceiver),
};

const HookEntry kPushButtonHooks[] = {KQ_HOOK("CreatePane", PushButtonCreatePane)};

const RuntimeClassDeclaration kPushButtonDeclaration = {"PushButton",
                                                        &RectControlDefinition,
                                                        sizeof(PushButtonObject),
                                                        KQ_GUI_ONLY,
                                                        false,
                                                        KQ_TABLE(kPushButtonProperties),
                                                        KQ_TABLE(kPushButtonMethods),
                                                        KQ_TABLE(kPushButtonEvents),
                                                        KQ_TABLE(kPushButtonHooks),
                                                        KQ_NO_TABLE,
                                                        KQ_NO_FUNCTION,
                                                        KQ_FUNCTION(PushButtonDestructor)};

const PropertyEntry kCheckBoxProperties[] = {
    KQ_CAPTION_PROPERTY_ROW(checkBox, Title),
    KQ_PROPERTY("Value", &kTypeBoolean, checkBoxValueGetter, checkBoxValueSetter, 0),
    KQ_PROPERTY("State", &kTypeBoolean, checkBoxValueGetter, checkBoxValueSetter, 0),
    KQ_FONT_PROPERTY_ROWS(checkBox),
    KQ_PROPERTY("DataSource", &kTypeString, CheckBoxDataSourceGetter, CheckBoxDataSourceSetter, 0),
    KQ_PROPERTY("DataField", &kTypeString, stringGetter, CheckBoxDataFieldSetter,
                offsetof(CheckBoxObject, dataField)),
};

const ParameterEntry kBooleanParameters[] = {KQ_PARAMETER("value", &kTypeBoolean)};

const MethodEntry kCheckBoxMethods[] = {
    KQ_METHOD("addActionNotificationReceiver", nullptr, KQ_TABLE(kReceiverParameters),
              cbaAddActionNotificationReceiver),
    KQ_METHOD("removeActionNotificationReceiver", nullptr, KQ_TABLE(kReceiverParameters),
              cbaRemoveActionNotificationReceiver),
    KQ_METHOD("getBoolean", &kTypeBoolean, KQ_NO_TABLE, checkBoxGetBoolean),
    KQ_METHOD("setBoolean", nullptr, KQ_TABLE(kBooleanParameters), checkBoxSetBoolean),
};

const HookEntry kCheckBoxHooks[] = {KQ_HOOK("CreatePane", CheckBoxCreatePane)};

const RuntimeClassDeclaration kCheckBoxDeclaration = {"CheckBox",
                                                      &RectControlDefinition,
                                                      sizeof(CheckBoxObject),
                                                      KQ_GUI_ONLY,
                                                      false,
                                                      KQ_TABLE(kCheckBoxProperties),
                                                      KQ_TABLE(kCheckBoxMethods),
                                                      KQ_TABLE(kCheckBoxEvents),
                                                      KQ_TABLE(kCheckBoxHooks),
                                                      KQ_NO_TABLE,
                                                      KQ_NO_FUNCTION,
                                                      KQ_FUNCTION(checkBoxDestructor)};

const PropertyEntry kRadioButtonProperties[] = {
    KQ_CAPTION_PROPERTY_ROW(radio, Title),
    KQ_PROPERTY("Value", &kTypeBoolean, radioValueGetter, radioValueSetter, 0),
    KQ_FONT_PROPERTY_ROWS(radio),
};

const MethodEntry kRadioButtonMethods[] = {
    KQ_METHOD("addActionNotificationReceiver", nullptr, KQ_TABLE(kReceiverParameters),
              pbAddActionNotificationReceiver),
    KQ_METHOD("removeActionNotificationReceiver", nullptr, KQ_TABLE(kReceiverParameters),
              pbRemoveActionNotificationReceiver),
};

const HookEntry kRadioButtonHooks[] = {KQ_HOOK("CreatePane", RadioCreatePane)};

const RuntimeClassDeclaration kRadioButtonDeclaration = {"RadioButton",
                                                         &RectControlDefinition,
                                                         sizeof(RadioButtonObject),
                                                         KQ_GUI_ONLY,
                                                         false,
                                                         KQ_TABLE(kRadioButtonProperties),
                                                         KQ_TABLE(kRadioButtonMethods),
                                                         KQ_TABLE(kRadioButtonEvents),
                                                         KQ_TABLE(kRadioButtonHooks),
                                                         KQ_NO_TABLE,
                                                         KQ_NO_FUNCTION,
                                                         KQ_FUNCTION(radioDestructor)};

} // namespace

ObjectDefinition PushButtonDefinition(&kPushButtonDeclaration);
ObjectDefinition CheckBoxDefinition(&kCheckBoxDeclaration);
ObjectDefinition RadioButtonDefinition(&kRadioButtonDeclaration);
