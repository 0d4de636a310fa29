// Message boxes: the `MessageDialog` class with its three buttons, and the
// dialog window that shows one (also for MsgBox and the unhandled-exception
// report). The window is a runtime window whose content is built from
// panes: the icon, the message, the explanation and the push buttons.
//
// MessageDialog record (instance size 704):
//
//   offset  field
//   24      actionButton, 28 cancelButton, 32 alternateButton (counted)
//   36      icon            GraphicNone (-1) to GraphicQuestion (3)
//   40      title, 44 message, 48 explanation
//   52      cancelVisible, 53 alternateVisible
//   56      actionCaption, 60 cancelCaption, 64 alternateCaption
//   68      defaultButton   button code, -1 for none
//   72      cancelButtonCode button code, -1 for none
//   76      parent          the window of ShowModalWithin (counted), or null
//   80      mImp            __kqf_mImp (no native record on this platform)
//
// MessageDialogButton record (instance size 32): 24 dialog (not counted;
// cleared when the dialog goes), 28 mImp. Its class tells which of the
// three buttons it is.
#pragma once

#include "ObjectDefinition.h"

#include <cstddef>
#include <cstdint>

#define KQ_DIALOG_SOURCE "Common/MessageDialog"

// Button codes.
enum DialogButtonCode : int32_t {
    kNoButton = -1,
    kCancelButton = 0,
    kActionButton = 1,
    kAlternateButton = 2,
};

// The icons.
enum DialogGraphic : int32_t {
    kGraphicNone = -1,
    kGraphicNote = 0,
    kGraphicCaution = 1,
    kGraphicStop = 2,
    kGraphicQuestion = 3,
};

struct MessageDialogObject {
    RuntimeObject header;
    RuntimeObject *buttons[3]; // action, cancel, alternate
    int32_t icon;
    KESTstring *title;
    KESTstring *message;
    KESTstring *explanation;
    uint8_t cancelVisible;
    uint8_t alternateVisible;
    KESTstring *captions[3]; // action, cancel, alternate
    int32_t defaultButton;
    int32_t cancelButtonCode;
    RuntimeObject *parent;
    void *mImp;
};
static_assert(offsetof(MessageDialogObject, buttons) == 24, "MessageDialog.buttons");
static_assert(offsetof(MessageDialogObject, icon) == 36, "MessageDialog.icon");
static_assert(offsetof(MessageDialogObject, title) == 40, "MessageDialog.title");
static_assert(offsetof(MessageDialogObject, message) == 44, "MessageDialog.message");
static_assert(offsetof(MessageDialogObject, explanation) == 48, "MessageDialog.explanation");
static_assert(offsetof(MessageDialogObject, cancelVisible) == 52, "MessageDialog.cancelVisible");
static_assert(offsetof(MessageDialogObject, captions) == 56, "MessageDialog.captions");
static_assert(offsetof(MessageDialogObject, defaultButton) == 68, "MessageDialog.defaultButton");
static_assert(offsetof(MessageDialogObject, cancelButtonCode) == 72, "MessageDialog.cancel");
static_assert(offsetof(MessageDialogObject, parent) == 76, "MessageDialog.parent");
static_assert(offsetof(MessageDialogObject, mImp) == 80, "MessageDialog.mImp");
constexpr uint32_t kMessageDialogInstanceSize = 704;
static_assert(sizeof(MessageDialogObject) <= kMessageDialogInstanceSize, "MessageDialog fits");

struct MessageDialogButtonObject {
    RuntimeObject header;
    MessageDialogObject *dialog;
    void *mImp;
};
static_assert(sizeof(MessageDialogButtonObject) == 32, "MessageDialogButton instance size");

namespace dialogs {

// The slot of a button code in the dialog's arrays (action 0, cancel 1,
// alternate 2).
inline int SlotOf(int32_t code) {
    return code == kActionButton ? 0 : code == kCancelButton ? 1 : 2;
}

// Shows the dialog in a modal window and returns the code of the button
// that ended it: 0 also when the window was closed; -1 when the quit
// request ended the modal loop.
int32_t ShowDialog(MessageDialogObject *dialog);

// The process-wide dialog result of the last dialog.
int32_t LastResult();

// A new dialog object (the caller owns it).
MessageDialogObject *NewDialog();

// The message and explanation of a prompt: split at the first end of line
// when it comes after the first character.
void SplitPrompt(MessageDialogObject *dialog, KESTstring *prompt);

// The unhandled-exception report: the stop icon, the message and the
// explanation, and an OK button.
void ShowUnhandledException(KESTstring *message, KESTstring *explanation);

} // namespace dialogs

extern "C" {
void MessageDialogInitializer(RuntimeObject *dialog);
void MessageDialogFinalizer(RuntimeObject *dialog);
RuntimeObject *MessageDialogShowModal(RuntimeObject *dialog);
RuntimeObject *MessageDialogShowModalWithin(RuntimeObject *dialog, RuntimeObject *parent);
void MDIconSetter(RuntimeObject *dialog, int32_t, int32_t value);
RuntimeObject *MDButtonGetter(RuntimeObject *dialog, int32_t index);
bool MDBBooleanGetter(RuntimeObject *button, int32_t index);
void MDBBooleanSetter(RuntimeObject *button, int32_t index, bool value);
KESTstring *MDBCaptionGetter(RuntimeObject *button, int32_t);
void MDBCaptionSetter(RuntimeObject *button, int32_t, KESTstring *caption);
void RuntimeMsgBox(KESTstring *prompt);
int32_t VB_RuntimeMsgBox(KESTstring *prompt, int32_t buttons, KESTstring *title);
}
