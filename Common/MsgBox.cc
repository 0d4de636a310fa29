// MsgBox in its two forms and the unhandled-exception report's dialog, all
// shown as message dialogs. The numeric form reads its buttons argument in
// three parts: the button set (low 4 bits) with its captions and result
// codes, the default button (bits 8-9) and the icon (bits 4-6).
#include "MessageDialog.h"

namespace {

struct ButtonSet {
    const char *captions[3]; // action, cancel, alternate; null: hidden
    int32_t results[3];      // action, cancel, alternate
    int32_t defaults[3];     // the default button for bits 8-9 of 0, 256, 512
};

const ButtonSet kButtonSets[] = {
    {{"OK", nullptr, nullptr}, {1, 2, 5}, {kActionButton, kNoButton, kNoButton}},
    {{"OK", "Cancel", nullptr}, {1, 2, 5}, {kActionButton, kCancelButton, kNoButton}},
    {{"Retry", "Abort", "Ignore"}, {4, 3, 5}, {kCancelButton, kActionButton, kAlternateButton}},
    {{"Yes", "Cancel", "No"}, {6, 2, 7}, {kActionButton, kAlternateButton, kCancelButton}},
    {{"Yes", nullptr, "No"}, {6, 2, 7}, {kActionButton, kAlternateButton, kNoButton}},
    {{"Retry", "Cancel", nullptr}, {4, 2, 5}, {kActionButton, kCancelButton, kNoButton}},
};
// Button sets 6 to 15: OK alone, the default always the action button.
const ButtonSet kOtherSet = {
    {"OK", nullptr, nullptr}, {1, 2, 5}, {kActionButton, kActionButton, kActionButton}};

int32_t IconOf(int32_t buttons) {
    switch (buttons & 0x70) {
    case 0:
        return kGraphicNone;
    case 16:
        return kGraphicStop;
    case 32:
        return kGraphicQuestion;
    case 48:
        return kGraphicCaution;
    default:
        return kGraphicNote;
    }
}

void SetCaption(MessageDialogObject *dialog, int slot, const char *caption) {
    RuntimeUnlockString(dialog->captions[slot]);
    dialog->captions[slot] = caption != nullptr ? kstr::FromC(caption) : nullptr;
}

// Only the action button, which is also the default; no cancel behaviour.
MessageDialogObject *PlainDialog() {
    MessageDialogObject *dialog = dialogs::NewDialog();
    if (dialog != nullptr) dialog->cancelButtonCode = kNoButton;
    return dialog;
}

} // namespace

void dialogs::ShowUnhandledException(KESTstring *message, KESTstring *explanation) {
    Ref<MessageDialogObject> dialog = Ref<MessageDialogObject>::Adopt(PlainDialog());
    if (!dialog) return;
    dialog->icon = kGraphicStop;
    stringSetter(&dialog->header, offsetof(MessageDialogObject, message), message);
    stringSetter(&dialog->header, offsetof(MessageDialogObject, explanation), explanation);
    dialogs::ShowDialog(dialog.get());
}

extern "C" {

void RuntimeMsgBox(KESTstring *prompt) {
    Ref<MessageDialogObject> dialog = Ref<MessageDialogObject>::Adopt(PlainDialog());
    if (!dialog) return;
    dialogs::SplitPrompt(dialog.get(), prompt);
    dialogs::ShowDialog(dialog.get());
}

int32_t VB_RuntimeMsgBox(KESTstring *prompt, int32_t buttons, KESTstring *title) {
    Ref<MessageDialogObject> dialog = Ref<MessageDialogObject>::Adopt(dialogs::NewDialog());
    if (!dialog) return 0;
    int32_t setIndex = buttons & 0xF;
    const ButtonSet &set = setIndex < 6 ? kButtonSets[setIndex] : kOtherSet;
    for (int slot = 0; slot < 3; ++slot)
        SetCaption(dialog.get(), slot, set.captions[slot]);
    dialog->cancelVisible = set.captions[1] != nullptr;
    dialog->alternateVisible = set.captions[2] != nullptr;
    int32_t defaultBits = (buttons >> 8) & 3;
    dialog->defaultButton = defaultBits < 3 ? set.defaults[defaultBits] : kNoButton;
    dialog->cancelButtonCode = dialog->cancelVisible ? kCancelButton : kNoButton;
    dialog->icon = IconOf(buttons);
    dialogs::SplitPrompt(dialog.get(), prompt);
    stringSetter(&dialog->header, offsetof(MessageDialogObject, title), title);
    switch (dialogs::ShowDialog(dialog.get())) {
    case kCancelButton:
        return set.results[1];
    case kAlternateButton:
        return set.results[2];
    default:
        return set.results[0];
    }
}

} // extern "C"
