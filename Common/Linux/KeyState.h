// The key state of the GTK+ layer: the modifier word of the event being
// handled (Shift 0x200, Control 0x1000, Alt 0x800; the command flag 0x100 is
// never set on this platform) and the key values held down right now, which
// a key snooper keeps up to date for every key event GTK+ delivers.
#pragma once

#include <cstdint>

namespace keystate {

enum ModifierFlags : uint16_t {
    kCommandKey = 0x100,
    kShiftKey = 0x200,
    kAltKey = 0x800,
    kControlKey = 0x1000,
};

uint16_t ModifierWord();
// The window layer records the word of each key and button event it handles.
void SetModifierWord(uint16_t word);
// The word for a GDK modifier mask.
uint16_t ModifierWordOf(uint32_t gdkState);

// Installs the snooper (once; needs GTK+ initialised on a display).
void InstallKeySnooper();

// A key press adds its key value unless listed, a release removes it.
void NoteKeyEvent(bool press, uint32_t keyval);

// Whether the key value is held; letters match in either case, as a key
// code names the key, not the character it makes.
bool IsHeld(uint32_t keyval);

} // namespace keystate
