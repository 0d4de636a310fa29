// UTF-8 decoding, identifier classes and case folding (see Utf8.h).
#include "Utf8.h"

namespace kqc::utf8 {

size_t decode(std::string_view text, size_t at, char32_t *cp) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    }
    size_t length;
    char32_t value, minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *cp = value;
    return length;
}

void append(std::string &out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool isIdentifierStart(char32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || cp == '_';
    if (cp < 0xC0 || cp == 0xD7 || cp == 0xF7) return false; // Latin-1 signs, × and ÷
    if (cp >= 0x2000 && cp <= 0x2BFF) return false;          // punctuation, symbols, arrows
    if (cp >= 0x3000 && cp <= 0x303F) return false;          // CJK punctuation
    if (cp >= 0xE000 && cp <= 0xF8FF) return false;          // private use
    if (cp >= 0xFE00 && cp <= 0xFE0F) return false;          // variation selectors
    return cp != 0xFEFF && cp < 0xFFF0;
}

bool isIdentifierPart(char32_t cp) {
    return isIdentifierStart(cp) || (cp >= '0' && cp <= '9');
}

char32_t foldCase(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp < 0xC0) return cp;
    if (cp <= 0xDE) return cp == 0xD7 ? cp : cp + 32; // À..Þ
    if (cp == 0x178) return 0xFF;                     // Ÿ
    if (cp >= 0x100 && cp <= 0x17F) {
        // Latin Extended-A pairs capitals with the following code point, with
        // the odd-based runs 0x139..0x148 and 0x179..0x17E; 0x130..0x131
        // (dotted and dotless i) and 0x138, 0x149, 0x17F have no pair.
        if (cp == 0x130 || cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F) return cp;
        bool oddBased = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
        bool capital = oddBased ? (cp & 1) == 1 : (cp & 1) == 0;
        return capital ? cp + 1 : cp;
    }
    if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 32; // Greek
    if (cp >= 0x410 && cp <= 0x42F) return cp + 32;                // Cyrillic
    if (cp >= 0x400 && cp <= 0x40F) return cp + 80;                // Ѐ..Џ
    return cp;
}

std::string fold(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t at = 0; at < name.size();) {
        char32_t cp;
        size_t n = decode(name, at, &cp);
        if (n == 0) {
            out += name[at++];
            continue;
        }
        if (cp < 0x80) {
            out += static_cast<char>(foldCase(cp));
        } else {
            append(out, foldCase(cp));
        }
        at += n;
    }
    return out;
}

size_t length(std::string_view text) {
    size_t count = 0;
    for (size_t at = 0; at < text.size(); ++count) {
        char32_t cp;
        size_t n = decode(text, at, &cp);
        at += n ? n : 1;
    }
    return count;
}

} // namespace kqc::utf8
