// The character styles of an edit field's text as runs, and their text form
// (the field's TextStyleData, taken back by SetTextAndStyle): one line per
// run of equally styled characters, in text order, covering the whole text:
//
//   <length> <styles> <size> <colour> <alignment> <font>\n
//
//   length     characters of the run, at least 1
//   styles     letters of "biuosce" (bold, italic, underline, outline,
//              shadow, condense, extend) in that order, or "-" for none
//   size       the text size, 0 for the field's own
//   colour     six hexadecimal digits RRGGBB, or "-" for the field's own
//   alignment  of the run's paragraph: 0 default, 1 left, 2 centre, 3 right
//   font       the rest of the line: a font family, empty for the field's
//
// Platform-neutral: the edit pane reads and writes its buffer's tags as runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum EditStyle : uint8_t {
    kEditBold = 1,
    kEditItalic = 2,
    kEditUnderline = 4,
    kEditOutline = 8,
    kEditShadow = 16,
    kEditCondense = 32,
    kEditExtend = 64,
};
constexpr int kEditStyleCount = 7;
// The letter and the name of each style, in flag order.
extern const char kEditStyleLetters[kEditStyleCount + 1];
extern const char *const kEditStyleNames[kEditStyleCount];

struct EditStyleRun {
    int length = 0;
    uint8_t styles = 0;
    int size = 0;
    bool coloured = false;
    uint32_t colour = 0;
    int alignment = 0;
    std::string font;

    // Everything but the length.
    bool SameStyle(const EditStyleRun &other) const;
};

std::string FormatStyleRuns(const std::vector<EditStyleRun> &runs);
// False, with `runs` left empty, for text that is not such runs.
bool ParseStyleRuns(const std::string &text, std::vector<EditStyleRun> *runs);
