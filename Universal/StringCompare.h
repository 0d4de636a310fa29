// Reading text unit by unit for comparisons and searches without regard to
// case: characters in UTF-8 and UTF-16 text (folded to lower case), bytes
// through the fold table in every other encoding.
#pragma once

#include "KESTstring.h"

#include <cstddef>
#include <cstdint>

namespace kstr {

enum class Units { Bytes, UTF8, UTF16 };

Units UnitsOf(uint32_t encoding);

// The unit at `p` (at most `available` bytes), folded; its size in `*used`.
uint32_t ReadFolded(Units units, const uint8_t *p, size_t available, size_t *used);

// Two texts unit by unit without regard to case: -1, 0, 1; a prefix sorts
// before the longer text.
int CompareFoldedUnits(Units units, const uint8_t *a, size_t la, const uint8_t *b, size_t lb);

// When `needle` matches `hay` at its start without regard to case, the
// number of bytes of `hay` it covers; else 0 (also for an empty needle).
size_t MatchFoldedAt(Units units, const uint8_t *hay, size_t hayLength, const uint8_t *needle,
                     size_t needleLength);

} // namespace kstr
