// Key presses as the runtime sees them: GDK key values turned into
// characters of the runtime's 8-bit character set (ISO Latin-1 for the
// printable characters, control codes for the editing keys), with dead-key
// and compose-key sequences, and the key text that KeyDown events receive.
//
// Control codes of the editing keys: Home 1, Enter (keypad) 3, End 4,
// Help 5, Backspace 8, Tab 9, Page Up 11, Page Down 12, Return 13, function
// keys 16, Escape 27, Left 28, Right 29, Up 30, Down 31, Delete 127.
#pragma once

#include "KESTstring.h"

#include <cstdint>

namespace keys {

constexpr uint32_t kComposeKey = 0xFF20;
constexpr uint32_t kFirstDeadKey = 0xFE50;
constexpr uint32_t kLastDeadKey = 0xFE60;
// Most keys a compose sequence holds.
constexpr uint32_t kMaximumSequence = 4;

inline bool IsDeadKey(uint32_t keyval) {
    return keyval >= kFirstDeadKey && keyval <= kLastDeadKey;
}

enum ControlCode : uint8_t {
    kHome = 1,
    kEnter = 3,
    kEnd = 4,
    kHelp = 5,
    kBackspace = 8,
    kTab = 9,
    kPageUp = 11,
    kPageDown = 12,
    kReturn = 13,
    kFunctionKey = 16,
    kEscape = 27,
    kLeftArrow = 28,
    kRightArrow = 29,
    kUpArrow = 30,
    kDownArrow = 31,
    kDelete = 127,
};

// The character of a key without composition; -1 when the key makes none.
int DirectCharacter(uint32_t keyval);

// The character of a key press, with composition: a dead key or the
// compose key starts a sequence, which the following keys complete (the
// character), continue (no character yet) or break (a beep, no character,
// the sequence forgotten). -1 when there is no character.
int KeyToCharacter(uint32_t keyval);

// Whether a sequence is waiting for its next key.
bool ComposePending();

// The key text of a KeyDown event, or null when the key has no text: the
// function keys are "F1" to "F35", the editing keys have names ("Ins",
// "Del", "Bksp", "Enter", "Left Arrow", "Right Arrow", "Up Arrow",
// "Down Arrow", "Page Up", "Page Down"); any other key with a character is
// that one character (ASCII text, or UTF-8 for the upper half).
KESTstring *KeyText(uint32_t keyval, int character);

} // namespace keys
