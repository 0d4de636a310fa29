// The class definitions of `MessageDialog` and its buttons, and their
// entry points: the buttons' Visible, Default, Cancel and Caption, the
// dialog's icon, its buttons and ShowModal.
#include "MessageDialog.h"

#include "RuntimeException.h"

#include <string>

namespace {

const PropertyEntry kButtonProperties[] = {
    KQ_PROPERTY("Visible", &kTypeBoolean, MDBBooleanGetter, MDBBooleanSetter, 0),
    KQ_PROPERTY("Default", &kTypeBoolean, MDBBooleanGetter, MDBBooleanSetter, 1),
    KQ_PROPERTY("Cancel", &kTypeBoolean, MDBBooleanGetter, MDBBooleanSetter, 2),
    KQ_PROPERTY("Caption", &kTypeString, MDBCaptionGetter, MDBCaptionSetter, 0),
    KQ_PROPERTY("__kqf_mImp", &kTypePtr, intGetter, intSetter,
                offsetof(MessageDialogButtonObject, mImp)),
};
const RuntimeClassDeclaration kButtonDeclaration = {
    "MessageDialogButton", nullptr,        sizeof(MessageDialogButtonObject),
    KQ_GUI_ONLY,           false,          KQ_TABLE(kButtonProperties),
    KQ_NO_TABLE,           KQ_NO_TABLE,    KQ_NO_TABLE,
    KQ_NO_TABLE,           KQ_NO_FUNCTION, KQ_NO_FUNCTION};
#define KQ_BUTTON_KIND(Name)                                                                       \
    const RuntimeClassDeclaration k##Name##Declaration = {#Name,                                   \
                                                          &MessageDialogButtonDefinition,          \
                                                          sizeof(MessageDialogButtonObject),       \
                                                          KQ_GUI_ONLY,                             \
                                                          false,                                   \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_FUNCTION,                          \
                                                          KQ_NO_FUNCTION};
KQ_BUTTON_KIND(_ActionButton)
KQ_BUTTON_KIND(_CancelButton)
KQ_BUTTON_KIND(_AlternateActionButton)

#define KQ_DIALOG_FIELD(field) offsetof(MessageDialogObject, field)
const PropertyEntry kDialogProperties[] = {
    KQ_CONSTANT("GraphicNone", &kTypeInteger, kGraphicNone),
    KQ_CONSTANT("GraphicNote", &kTypeInteger, kGraphicNote),
    KQ_CONSTANT("GraphicCaution", &kTypeInteger, kGraphicCaution),
    KQ_CONSTANT("GraphicStop", &kTypeInteger, kGraphicStop),
    KQ_CONSTANT("GraphicQuestion", &kTypeInteger, kGraphicQuestion),
    KQ_PROPERTY("Message", &kTypeString, stringGetter, stringSetter, KQ_DIALOG_FIELD(message)),
    KQ_PROPERTY("Explanation", &kTypeString, stringGetter, stringSetter,
                KQ_DIALOG_FIELD(explanation)),
    KQ_PROPERTY("Title", &kTypeString, stringGetter, stringSetter, KQ_DIALOG_FIELD(title)),
    KQ_PROPERTY("Icon", &kTypeInteger, intGetter, MDIconSetter, KQ_DIALOG_FIELD(icon)),
    KQ_READONLY_PROPERTY("ActionButton", &MessageDialogButtonDefinition, MDButtonGetter,
                         kActionButton),
    KQ_READONLY_PROPERTY("CancelButton", &MessageDialogButtonDefinition, MDButtonGetter,
                         kCancelButton),
    KQ_READONLY_PROPERTY("AlternateActionButton", &MessageDialogButtonDefinition, MDButtonGetter,
                         kAlternateButton),
    KQ_PROPERTY("__kqf_mImp", &kTypePtr, intGetter, intSetter, KQ_DIALOG_FIELD(mImp)),
};
const ParameterEntry kWithinParameters[] = {KQ_PARAMETER("Parent", &WindowDefinition)};
const MethodEntry kDialogMethods[] = {
    KQ_METHOD("ShowModal", &MessageDialogButtonDefinition, KQ_NO_TABLE, MessageDialogShowModal),
    KQ_METHOD("ShowModalWithin", &MessageDialogButtonDefinition, KQ_TABLE(kWithinParameters),
              MessageDialogShowModalWithin),
};
const RuntimeClassDeclaration kDialogDeclaration = {"MessageDialog",
                                                    nullptr,
                                                    kMessageDialogInstanceSize,
                                                    KQ_GUI_ONLY,
                                                    false,
                                                    KQ_TABLE(kDialogProperties),
                                                    KQ_TABLE(kDialogMethods),
                                                    KQ_NO_TABLE,
                                                    KQ_NO_TABLE,
                                                    KQ_NO_TABLE,
                                                    KQ_FUNCTION(MessageDialogInitializer),
                                                    KQ_FUNCTION(MessageDialogFinalizer)};

MessageDialogButtonObject *AsButton(RuntimeObject *object) {
    if (object == nullptr) RaiseNilObjectException();
    return reinterpret_cast<MessageDialogButtonObject *>(object);
}

int32_t CodeOf(RuntimeObject *button) {
    if (definitions::IsA(button, &_ActionButtonDefinition)) return kActionButton;
    if (definitions::IsA(button, &_CancelButtonDefinition)) return kCancelButton;
    return kAlternateButton;
}

} // namespace

ObjectDefinition MessageDialogButtonDefinition(&kButtonDeclaration);
ObjectDefinition _ActionButtonDefinition(&k_ActionButtonDeclaration);
ObjectDefinition _CancelButtonDefinition(&k_CancelButtonDeclaration);
ObjectDefinition _AlternateActionButtonDefinition(&k_AlternateActionButtonDeclaration);
ObjectDefinition MessageDialogDefinition(&kDialogDeclaration);

namespace dialogs {

MessageDialogObject *NewDialog() {
    return reinterpret_cast<MessageDialogObject *>(
        definitions::Instantiate(&MessageDialogDefinition));
}

void SplitPrompt(MessageDialogObject *dialog, KESTstring *prompt) {
    int32_t end = kstr::FindByte(prompt, '\n', 0);
    RuntimeObject *object = &dialog->header;
    if (end > 0) {
        kstr::StringRef message(kstr::Left(prompt, end)), rest(kstr::MidToEnd(prompt, end + 1));
        stringSetter(object, offsetof(MessageDialogObject, message), message.Get());
        stringSetter(object, offsetof(MessageDialogObject, explanation), rest.Get());
    } else {
        stringSetter(object, offsetof(MessageDialogObject, message), prompt);
        stringSetter(object, offsetof(MessageDialogObject, explanation), nullptr);
    }
}

} // namespace dialogs

extern "C" {

void MessageDialogInitializer(RuntimeObject *object) {
    auto *dialog = reinterpret_cast<MessageDialogObject *>(object);
    ObjectDefinition *kinds[] = {&_ActionButtonDefinition, &_CancelButtonDefinition,
                                 &_AlternateActionButtonDefinition};
    for (int i = 0; i < 3; ++i) {
        dialog->buttons[i] = definitions::Instantiate(kinds[i]);
        if (dialog->buttons[i] != nullptr)
            reinterpret_cast<MessageDialogButtonObject *>(dialog->buttons[i])->dialog = dialog;
    }
    dialog->icon = kGraphicNote;
    dialog->defaultButton = kActionButton;
    dialog->cancelButtonCode = kCancelButton;
}

void MessageDialogFinalizer(RuntimeObject *object) {
    auto *dialog = reinterpret_cast<MessageDialogObject *>(object);
    for (RuntimeObject *&button : dialog->buttons) {
        if (button != nullptr)
            reinterpret_cast<MessageDialogButtonObject *>(button)->dialog = nullptr;
        RuntimeUnlockObject(button);
        button = nullptr;
    }
    for (KESTstring **text : {&dialog->title, &dialog->message, &dialog->explanation,
                              &dialog->captions[0], &dialog->captions[1], &dialog->captions[2]}) {
        RuntimeUnlockString(*text);
        *text = nullptr;
    }
    RuntimeUnlockObject(dialog->parent);
    dialog->parent = nullptr;
}

RuntimeObject *MDButtonGetter(RuntimeObject *object, int32_t index) {
    if (object == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    if (index < kCancelButton || index > kAlternateButton) return nullptr;
    RuntimeObject *button =
        reinterpret_cast<MessageDialogObject *>(object)->buttons[dialogs::SlotOf(index)];
    RuntimeLockObject(button);
    return button;
}

void MDIconSetter(RuntimeObject *object, int32_t, int32_t value) {
    if (object == nullptr) {
        RaiseNilObjectException();
        return;
    }
    if (value < kGraphicNone || value > kGraphicQuestion) {
        std::string text = "The integer value " + std::to_string(value) +
                           " is not in the range of enumerated icons for the MessageDialog class.";
        exceptions::RaiseWithMessage(&OutOfBoundsExceptionDefinition, text.c_str(), 0);
        return;
    }
    reinterpret_cast<MessageDialogObject *>(object)->icon = value;
}

bool MDBBooleanGetter(RuntimeObject *object, int32_t index) {
    MessageDialogButtonObject *button = AsButton(object);
    MessageDialogObject *dialog = button != nullptr ? button->dialog : nullptr;
    if (dialog == nullptr) return false;
    int32_t code = CodeOf(object);
    switch (index) {
    case 0:
        return code == kActionButton ||
               (code == kCancelButton ? dialog->cancelVisible : dialog->alternateVisible);
    case 1:
        return dialog->defaultButton == code;
    case 2:
        return dialog->cancelButtonCode == code;
    default:
        return false;
    }
}

void MDBBooleanSetter(RuntimeObject *object, int32_t index, bool value) {
    MessageDialogButtonObject *button = AsButton(object);
    MessageDialogObject *dialog = button != nullptr ? button->dialog : nullptr;
    if (dialog == nullptr) return;
    int32_t code = CodeOf(object);
    if (index == 0 && code != kActionButton)
        (code == kCancelButton ? dialog->cancelVisible : dialog->alternateVisible) = value;
    else if (index == 1)
        dialog->defaultButton = value ? code : kNoButton;
    else if (index == 2)
        dialog->cancelButtonCode = value ? code : kNoButton;
}

KESTstring *MDBCaptionGetter(RuntimeObject *object, int32_t) {
    MessageDialogButtonObject *button = AsButton(object);
    if (button == nullptr || button->dialog == nullptr) return nullptr;
    return kstr::Share(button->dialog->captions[dialogs::SlotOf(CodeOf(object))]);
}

void MDBCaptionSetter(RuntimeObject *object, int32_t, KESTstring *caption) {
    MessageDialogButtonObject *button = AsButton(object);
    if (button == nullptr || button->dialog == nullptr) return;
    KESTstring *&slot = button->dialog->captions[dialogs::SlotOf(CodeOf(object))];
    RuntimeLockUnlockStrings(caption, slot);
    slot = caption;
}

RuntimeObject *MessageDialogShowModal(RuntimeObject *object) {
    if (object == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    Ref<> keep(object);
    int32_t result = dialogs::ShowDialog(reinterpret_cast<MessageDialogObject *>(object));
    return MDButtonGetter(object, result);
}

RuntimeObject *MessageDialogShowModalWithin(RuntimeObject *object, RuntimeObject *parent) {
    if (object == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    objSetter(object, offsetof(MessageDialogObject, parent), parent);
    return MessageDialogShowModal(object);
}

} // extern "C"
