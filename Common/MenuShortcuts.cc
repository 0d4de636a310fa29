// Shortcut texts and the runtime shortcut table (see MenuShortcuts.h).
#include "MenuShortcuts.h"

#include <strings.h>

#include <cctype>
#include <cstring>
#include <vector>

namespace shortcuts {
namespace {

struct ModifierWord {
    const char *word;
    uint32_t mask;
};
// Longer words first, so that "control" is not read as "ctrl" plus rest.
const ModifierWord kModifierWords[] = {
    {"control", kMaskControl}, {"command", kMaskControl}, {"ctrl", kMaskControl},
    {"cmd", kMaskControl},     {"option", kMaskAlt},      {"alt", kMaskAlt},
    {"shift", kMaskShift},     {"shft", kMaskShift},
};

struct KeyAlias {
    const char *alias;
    const char *name;
};
const KeyAlias kKeyAliases[] = {
    {"Insert", "Ins"},        {"Backspace", "Bksp"},
    {"Bsp", "Bksp"},          {"Delete", "Del"},
    {"Return", "Enter"},      {"Escape", "Esc"},
    {"Left", "Left Arrow"},   {"LeftArrow", "Left Arrow"},
    {"Right", "Right Arrow"}, {"RightArrow", "Right Arrow"},
    {"Up", "Up Arrow"},       {"UpArrow", "Up Arrow"},
    {"Down", "Down Arrow"},   {"DownArrow", "Down Arrow"},
    {"PgUp", "Page Up"},      {"Pg Up", "Page Up"},
    {"PageUp", "Page Up"},    {"PgDn", "Page Down"},
    {"Pg Dn", "Page Down"},   {"PageDown", "Page Down"},
    {"PageDn", "Page Down"},
};

struct KeySymbol {
    const char *name;
    uint32_t keysym;
};
const KeySymbol kKeySymbols[] = {
    {"Ins", 0xFF63},        {"Bksp", 0xFF08},       {"Del", 0xFFFF},         {"Enter", 0xFF0D},
    {"Esc", 0xFF1B},        {"Left Arrow", 0xFF51}, {"Right Arrow", 0xFF53}, {"Up Arrow", 0xFF52},
    {"Down Arrow", 0xFF54}, {"Page Up", 0xFF55},    {"Page Down", 0xFF56},
};
constexpr uint32_t kFunctionKeyBase = 0xFFBD; // F1 is 0xFFBE

bool IsSeparator(char c) {
    return c == '+' || c == '-' || c == ' ';
}

std::string Lower(const std::string &text) {
    std::string lower = text;
    for (char &c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Removes every occurrence of the modifier words from `text` and returns
// their mask.
uint32_t TakeModifiers(std::string &text) {
    uint32_t mask = 0;
    for (const ModifierWord &m : kModifierWords) {
        std::string::size_type at;
        while ((at = Lower(text).find(m.word)) != std::string::npos) {
            text.erase(at, std::strlen(m.word));
            mask |= m.mask;
        }
    }
    return mask;
}

std::string Normalised(const std::string &key) {
    for (const KeyAlias &a : kKeyAliases)
        if (strcasecmp(key.c_str(), a.alias) == 0) return a.name;
    return key;
}

std::vector<TableEntry> &Table() {
    static std::vector<TableEntry> table;
    return table;
}

} // namespace

Shortcut Parse(const std::string &text) {
    Shortcut s;
    if (text.empty()) return s;
    if (text.size() == 1) {
        s.key = text;
        s.mask = kMaskControl;
        return s;
    }
    std::string rest = text;
    s.mask = TakeModifiers(rest);
    // The separators around the key; a key that is itself a separator
    // ("Ctrl+-") stays.
    std::string::size_type first = 0, last = rest.size();
    while (first < last && IsSeparator(rest[first]))
        ++first;
    while (last > first && IsSeparator(rest[last - 1]))
        --last;
    if (first == last && !rest.empty())
        s.key = rest.substr(rest.size() - 1);
    else
        s.key = Normalised(rest.substr(first, last - first));
    s.keysym = KeySymbolOf(s.key);
    return s;
}

uint32_t KeySymbolOf(const std::string &key) {
    for (const KeySymbol &k : kKeySymbols)
        if (strcasecmp(key.c_str(), k.name) == 0) return k.keysym;
    if (key.size() >= 2 && key.size() <= 3 && (key[0] == 'F' || key[0] == 'f')) {
        uint32_t n = 0;
        for (std::string::size_type i = 1; i < key.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(key[i]))) return 0;
            n = n * 10 + uint32_t(key[i] - '0');
        }
        if (n >= 1 && n <= 35) return kFunctionKeyBase + n;
    }
    return 0;
}

uint32_t MaskOfModifierWord(uint16_t word) {
    return (word & 0x800 ? kMaskAlt : 0) | (word & 0x200 ? kMaskShift : 0) |
           (word & 0x1000 ? kMaskControl : 0);
}

bool SameKey(const std::string &pressed, const std::string &key) {
    return !key.empty() && strcasecmp(pressed.c_str(), key.c_str()) == 0;
}

void Set(Menu *record, const std::string &key, uint32_t mask) {
    for (TableEntry &e : Table())
        if (e.record == record) {
            e.key = key;
            e.mask = mask;
            return;
        }
    Table().push_back({record, key, mask});
}

void Remove(Menu *record) {
    std::vector<TableEntry> &table = Table();
    for (auto it = table.begin(); it != table.end(); ++it)
        if (it->record == record) {
            table.erase(it);
            return;
        }
}

uint32_t Count() {
    return uint32_t(Table().size());
}

const TableEntry &At(uint32_t index) {
    return Table()[index];
}

} // namespace shortcuts
