// The Keyboard object of the language (class `_Keyboard`, a new object from
// each getKeyboardObject) and the key-code translation shared with the
// user-cancel check.
#pragma once

#include "RuntimeObject.h"

#include <cstdint>

// The definition flag of the hidden alias properties (CommandKey, ...).
constexpr uint32_t kKeyboardHidden = 0x8000;

namespace keyboard {
// The X key symbol of a virtual key code: codes 0 to 127 through the key
// code table (0 for a code without a key), 128 and above as they are.
uint32_t KeySymbol(int32_t code);
} // namespace keyboard

extern "C" {
RuntimeObject *getKeyboardObject(void);
// Index: a modifier flag (true when any of its bits is in the event's word),
// -1 the menu shortcut key (Control), -2 the alternate one (Shift).
bool modifierKeyGetter(RuntimeObject *keyboard, int32_t index);
// The same asked of the keys held down now.
bool asyncModifierKeyGetter(RuntimeObject *keyboard, int32_t index);
bool keyboardAsyncKeyDown(RuntimeObject *keyboard, int32_t code);
KESTstring *keyboardKeyName(RuntimeObject *keyboard, int32_t code);
}
