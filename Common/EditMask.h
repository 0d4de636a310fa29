// The input mask of an edit field: one position per character the field may
// hold, each a character class or a literal. Typed characters are tested
// against the position where they would stand.
//
//   #  0   a digit            9   a digit or a space
//   A  a   a letter or digit  ?  L   a letter
//   &  C   any character      \x  the literal character x
//   >  <   case markers: they take no position
//   ~      reserved: a mask holding it is refused
//   any other character stands for itself
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class EditMask {
  public:
    // False (and an empty mask) when the text holds the reserved "~".
    bool Parse(const std::string &mask);
    bool IsEmpty() const { return mPositions.empty(); }
    size_t Length() const { return mPositions.size(); }

    // Whether the character (a byte of the runtime's 8-bit set) may stand at
    // the position.
    bool Accepts(size_t position, uint8_t character) const;

  private:
    struct Position {
        char kind; // the class letter, or 0 for a literal
        uint8_t literal;
    };
    std::vector<Position> mPositions;
};
