// Input masks of edit fields (see EditMask.h).
#include "EditMask.h"

#include <cctype>
#include <cstring>

bool EditMask::Parse(const std::string &mask) {
    mPositions.clear();
    if (mask.find('~') != std::string::npos) return false;
    for (size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        if (c == '>' || c == '<') continue;
        if (c == '\\' && i + 1 < mask.size()) {
            mPositions.push_back({0, uint8_t(mask[++i])});
        } else if (std::strchr("#09Aa?L&C", c) != nullptr) {
            mPositions.push_back({c, 0});
        } else {
            mPositions.push_back({0, uint8_t(c)});
        }
    }
    return true;
}

bool EditMask::Accepts(size_t position, uint8_t character) const {
    if (position >= mPositions.size()) return false;
    const Position &at = mPositions[position];
    // Letters of the upper half (accented ones) count as letters.
    bool letter = std::isalpha(character) || character >= 0xC0;
    bool digit = std::isdigit(character);
    switch (at.kind) {
    case 0:
        return character == at.literal;
    case '#':
    case '0':
        return digit;
    case '9':
        return digit || character == ' ';
    case 'A':
    case 'a':
        return letter || digit;
    case '?':
    case 'L':
        return letter;
    default: // '&', 'C'
        return character >= 0x20;
    }
}
