// Key values to characters and key texts (see KeyTranslation.h), with the
// table of compose sequences.
#include "KeyTranslation.h"

#include "GTKHelper.h"
#include "RuntimeErrorReport.h"

#include <gdk/gdk.h>
#include <gdk/gdkkeysyms.h>

#include <string>

namespace {

// One accent: its dead key, the character that stands for it after the
// compose key, the base characters it combines with and the Latin-1
// results in the same order. A space after the dead key gives the accent
// itself.
struct AccentRow {
    uint32_t deadKey;
    char composeMark;
    const char *bases;
    const char *results;
};

const AccentRow kAccents[] = {
    {GDK_KEY_dead_grave, '`', "aeiouAEIOU ", "\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9`"},
    {GDK_KEY_dead_acute, '\'', "aeiouyAEIOUY ",
     "\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD\xB4"},
    {GDK_KEY_dead_circumflex, '^', "aeiouAEIOU ", "\xE2\xEA\xEE\xF4\xFB\xC2\xCA\xCE\xD4\xDB^"},
    {GDK_KEY_dead_tilde, '~', "anoANO ", "\xE3\xF1\xF5\xC3\xD1\xD5~"},
    {GDK_KEY_dead_diaeresis, '"', "aeiouyAEIOU ",
     "\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC\xA8"},
    {GDK_KEY_dead_abovering, 'o', "aA ", "\xE5\xC5\xB0"},
    {GDK_KEY_dead_cedilla, ',', "cC ", "\xE7\xC7\xB8"},
};

// Compose-key sequences of two characters that no accent covers.
struct PairRow {
    char first, second;
    uint8_t result;
};

const PairRow kPairs[] = {
    {'a', 'e', 0xE6}, {'A', 'E', 0xC6}, {'s', 's', 0xDF}, {'o', '/', 0xF8}, {'O', '/', 0xD8},
    {'c', 'o', 0xA9}, {'r', 'o', 0xAE}, {'<', '<', 0xAB}, {'>', '>', 0xBB}, {'!', '!', 0xA1},
    {'?', '?', 0xBF}, {'1', '2', 0xBD}, {'1', '4', 0xBC}, {'3', '4', 0xBE}, {'+', '-', 0xB1},
    {'x', 'x', 0xD7}, {':', '-', 0xF7}, {'L', '-', 0xA3}, {'Y', '=', 0xA5}, {'c', '/', 0xA2},
    {'s', 'o', 0xA7}, {'p', '!', 0xB6}, {'^', '1', 0xB9}, {'^', '2', 0xB2}, {'^', '3', 0xB3},
    {'m', 'u', 0xB5}, {'.', '.', 0xB7}, {'a', '_', 0xAA}, {'o', '_', 0xBA},
};

// The pending sequence.
uint32_t gSequence[keys::kMaximumSequence];
uint32_t gSequenceIter = 0;

// How far `sequence` (of `length` keys) matches the pending one: 2 complete,
// 1 the pending keys are its beginning, 0 no match.
int Match(const uint32_t *sequence, uint32_t length) {
    if (length < gSequenceIter) return 0;
    for (uint32_t i = 0; i < gSequenceIter; ++i)
        if (sequence[i] != gSequence[i]) return 0;
    return length == gSequenceIter ? 2 : 1;
}

// Looks the pending sequence up: its character, -2 when it may still
// complete, -1 when nothing matches.
int LookUpSequence() {
    bool prefix = false;
    auto consider = [&](const uint32_t *sequence, uint32_t length, uint8_t result) {
        int match = Match(sequence, length);
        if (match == 2) return int(result);
        prefix = prefix || match == 1;
        return -1;
    };
    for (const AccentRow &row : kAccents) {
        for (uint32_t i = 0; row.bases[i] != 0; ++i) {
            uint32_t base = uint8_t(row.bases[i]);
            uint8_t result = uint8_t(row.results[i]);
            uint32_t dead[] = {row.deadKey, base};
            uint32_t composed[] = {keys::kComposeKey, uint32_t(uint8_t(row.composeMark)), base};
            int found = consider(dead, 2, result);
            if (found < 0 && base != ' ') found = consider(composed, 3, result);
            if (found >= 0) return found;
        }
    }
    for (const PairRow &row : kPairs) {
        uint32_t composed[] = {keys::kComposeKey, uint32_t(uint8_t(row.first)),
                               uint32_t(uint8_t(row.second))};
        int found = consider(composed, 3, row.result);
        if (found >= 0) return found;
    }
    return prefix ? -2 : -1;
}

struct NamedKey {
    uint32_t keyval;
    const char *name;
};

const NamedKey kNamedKeys[] = {
    {GDK_KEY_Insert, "Ins"},
    {GDK_KEY_KP_Insert, "Ins"},
    {GDK_KEY_Delete, "Del"},
    {GDK_KEY_KP_Delete, "Del"},
    {GDK_KEY_BackSpace, "Bksp"},
    {GDK_KEY_Return, "Enter"},
    {GDK_KEY_KP_Enter, "Enter"},
    {GDK_KEY_Left, "Left Arrow"},
    {GDK_KEY_KP_Left, "Left Arrow"},
    {GDK_KEY_Right, "Right Arrow"},
    {GDK_KEY_KP_Right, "Right Arrow"},
    {GDK_KEY_Up, "Up Arrow"},
    {GDK_KEY_KP_Up, "Up Arrow"},
    {GDK_KEY_Down, "Down Arrow"},
    {GDK_KEY_KP_Down, "Down Arrow"},
    {GDK_KEY_Page_Up, "Page Up"},
    {GDK_KEY_KP_Page_Up, "Page Up"},
    {GDK_KEY_Page_Down, "Page Down"},
    {GDK_KEY_KP_Page_Down, "Page Down"},
};

struct CodedKey {
    uint32_t keyval;
    uint8_t code;
};

const CodedKey kCodedKeys[] = {
    {GDK_KEY_BackSpace, keys::kBackspace},
    {GDK_KEY_Tab, keys::kTab},
    {GDK_KEY_ISO_Left_Tab, keys::kTab},
    {GDK_KEY_KP_Tab, keys::kTab},
    {GDK_KEY_Return, keys::kReturn},
    {GDK_KEY_KP_Enter, keys::kEnter},
    {GDK_KEY_Escape, keys::kEscape},
    {GDK_KEY_Delete, keys::kDelete},
    {GDK_KEY_KP_Delete, keys::kDelete},
    {GDK_KEY_Home, keys::kHome},
    {GDK_KEY_KP_Home, keys::kHome},
    {GDK_KEY_End, keys::kEnd},
    {GDK_KEY_KP_End, keys::kEnd},
    {GDK_KEY_Page_Up, keys::kPageUp},
    {GDK_KEY_KP_Page_Up, keys::kPageUp},
    {GDK_KEY_Page_Down, keys::kPageDown},
    {GDK_KEY_KP_Page_Down, keys::kPageDown},
    {GDK_KEY_Left, keys::kLeftArrow},
    {GDK_KEY_KP_Left, keys::kLeftArrow},
    {GDK_KEY_Right, keys::kRightArrow},
    {GDK_KEY_KP_Right, keys::kRightArrow},
    {GDK_KEY_Up, keys::kUpArrow},
    {GDK_KEY_KP_Up, keys::kUpArrow},
    {GDK_KEY_Down, keys::kDownArrow},
    {GDK_KEY_KP_Down, keys::kDownArrow},
    {GDK_KEY_Help, keys::kHelp},
    {GDK_KEY_Insert, keys::kHelp},
    {GDK_KEY_KP_Insert, keys::kHelp},
    {GDK_KEY_KP_Space, ' '},
    {GDK_KEY_KP_Multiply, '*'},
    {GDK_KEY_KP_Add, '+'},
    {GDK_KEY_KP_Separator, ','},
    {GDK_KEY_KP_Subtract, '-'},
    {GDK_KEY_KP_Decimal, '.'},
    {GDK_KEY_KP_Divide, '/'},
    {GDK_KEY_KP_Equal, '='},
};

bool IsFunctionKey(uint32_t keyval) {
    return keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F35;
}

} // namespace

namespace keys {

int DirectCharacter(uint32_t keyval) {
    if ((keyval >= 0x20 && keyval <= 0x7E) || (keyval >= 0xA0 && keyval <= 0xFF))
        return int(keyval);
    if (keyval >= 0x1000020 && keyval <= 0x10000FF && keyval != 0x100007F)
        return int(keyval & 0xFF);
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return '0' + int(keyval - GDK_KEY_KP_0);
    if (IsFunctionKey(keyval)) return kFunctionKey;
    for (const CodedKey &key : kCodedKeys)
        if (key.keyval == keyval) return key.code;
    return -1;
}

int KeyToCharacter(uint32_t keyval) {
    if (gSequenceIter == 0 && keyval != kComposeKey && !IsDeadKey(keyval))
        return DirectCharacter(keyval);
    KQ_ASSERT_TEXT(KQ_GTKHELPER_SOURCE, gSequenceIter < kMaximumSequence, "mSequenceIter < 4",
                   nullptr);
    if (gSequenceIter >= kMaximumSequence) {
        gSequenceIter = 0;
        return -1;
    }
    gSequence[gSequenceIter++] = keyval;
    if (gSequenceIter < 2) return -1;
    int found = LookUpSequence();
    if (found == -2) return -1;
    if (found == -1) gdk_beep();
    gSequenceIter = 0;
    return found;
}

bool ComposePending() {
    return gSequenceIter != 0;
}

KESTstring *KeyText(uint32_t keyval, int character) {
    if (IsFunctionKey(keyval))
        return kstr::FromC(("F" + std::to_string(keyval - GDK_KEY_F1 + 1)).c_str());
    for (const NamedKey &key : kNamedKeys)
        if (key.keyval == keyval) return kstr::FromC(key.name);
    if (character < 0 || character > 0xFF) return nullptr;
    if (character < 0x80) {
        char text = char(character);
        return kstr::Make(&text, 1, kEncodingASCII);
    }
    char utf8[2] = {char(0xC0 | (character >> 6)), char(0x80 | (character & 0x3F))};
    return kstr::Make(utf8, 2, kEncodingUTF8);
}

} // namespace keys
