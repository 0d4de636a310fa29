// Keyboard shortcuts of menu items. A shortcut text such as "Ctrl+Q",
// "Shift F5" or "Q" is read into a modifier mask (GDK's bits) and a key
// name in one normalised form. Keys that have an X key symbol (the named
// editing keys and F1, F2, ...) become GTK+ accelerators of the item's
// widget; every other key goes into the runtime shortcut table, which the
// window's key handling searches on every key press.
#pragma once

#include <cstdint>
#include <string>

class Menu;

namespace shortcuts {

// GDK modifier bits.
constexpr uint32_t kMaskShift = 1;
constexpr uint32_t kMaskControl = 4;
constexpr uint32_t kMaskAlt = 8;

struct Shortcut {
    std::string key; // normalised key name ("Q", "Del", "Page Up", "F5"); "" for none
    uint32_t mask = 0;
    uint32_t keysym = 0; // the X key symbol, 0 for an ordinary character
};

// Reads a shortcut text (UTF-8). Modifier words are found anywhere in the
// text without regard to case ("ctrl", "control", "cmd", "command" give
// Control; "shift", "shft" Shift; "option", "alt" Alt); a text of one
// character means Control with that character. The rest, without the
// separators around it, is the key name, normalised ("Delete" -> "Del",
// "PgDn" -> "Page Down", ...).
Shortcut Parse(const std::string &text);

// The X key symbol of a normalised key name, 0 when it has none.
uint32_t KeySymbolOf(const std::string &key);

// The mask of the runtime's modifier word (Shift 0x200, Alt 0x800,
// Control 0x1000).
uint32_t MaskOfModifierWord(uint16_t word);

// Whether a pressed key's text names the same key as a normalised name
// (letters without regard to case).
bool SameKey(const std::string &pressed, const std::string &key);

// The runtime shortcut table: (record, key, mask), in order of entry. A
// record has at most one entry; Set replaces it, Remove takes it out.
struct TableEntry {
    Menu *record;
    std::string key;
    uint32_t mask;
};
void Set(Menu *record, const std::string &key, uint32_t mask);
void Remove(Menu *record);
uint32_t Count();
const TableEntry &At(uint32_t index);

} // namespace shortcuts
