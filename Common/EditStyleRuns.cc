// Style runs of edit fields and their text form (see EditStyleRuns.h).
#include "EditStyleRuns.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char kEditStyleLetters[kEditStyleCount + 1] = "biuosce";
const char *const kEditStyleNames[kEditStyleCount] = {"bold",   "italic",   "underline", "outline",
                                                      "shadow", "condense", "extend"};

bool EditStyleRun::SameStyle(const EditStyleRun &other) const {
    return styles == other.styles && size == other.size && coloured == other.coloured &&
           (!coloured || colour == other.colour) && alignment == other.alignment &&
           font == other.font;
}

std::string FormatStyleRuns(const std::vector<EditStyleRun> &runs) {
    std::string text;
    for (const EditStyleRun &run : runs) {
        std::string styles;
        for (int i = 0; i < kEditStyleCount; ++i)
            if (run.styles & (1u << i)) styles += kEditStyleLetters[i];
        char colour[8] = "-";
        if (run.coloured) std::snprintf(colour, sizeof colour, "%06X", run.colour & 0xFFFFFF);
        text += std::to_string(run.length) + " " + (styles.empty() ? "-" : styles) + " " +
                std::to_string(run.size) + " " + colour + " " + std::to_string(run.alignment) +
                " " + run.font + "\n";
    }
    return text;
}

namespace {

// A decimal number in [0, max] followed by one space.
bool Number(const char *&p, long max, long *value) {
    char *end;
    if (*p < '0' || *p > '9') return false;
    *value = std::strtol(p, &end, 10);
    if (*end != ' ' || *value > max) return false;
    p = end + 1;
    return true;
}

bool ParseRun(const std::string &line, EditStyleRun *run) {
    const char *p = line.c_str();
    long length, size, alignment;
    if (!Number(p, 0x7FFFFFFF, &length) || length == 0) return false;
    run->length = int(length);
    if (*p == '-') {
        ++p;
    } else {
        for (; *p != ' ' && *p != '\0'; ++p) {
            const char *letter = std::strchr(kEditStyleLetters, *p);
            if (letter == nullptr) return false;
            run->styles |= uint8_t(1u << (letter - kEditStyleLetters));
        }
    }
    if (*p++ != ' ' || !Number(p, 0x7FFF, &size)) return false;
    run->size = int(size);
    if (*p == '-') {
        ++p;
    } else {
        for (int i = 0; i < 6; ++i)
            if (!std::isxdigit(static_cast<unsigned char>(p[i]))) return false;
        run->coloured = true;
        run->colour = uint32_t(std::strtoul(std::string(p, 6).c_str(), nullptr, 16));
        p += 6;
    }
    if (*p++ != ' ' || !Number(p, 3, &alignment)) return false;
    run->alignment = int(alignment);
    run->font = p;
    return true;
}

} // namespace

bool ParseStyleRuns(const std::string &text, std::vector<EditStyleRun> *runs) {
    runs->clear();
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        EditStyleRun run;
        if (!ParseRun(text.substr(at, end - at), &run)) {
            runs->clear();
            return false;
        }
        runs->push_back(run);
        at = end + 1;
    }
    return true;
}
