// Shared pieces of the runtime's i386 fuzz targets: how an input picks its
// locale and text encoding, a check that a string record the runtime made
// is well formed. The targets link a runtime error report that answers
// every report with OK at once, as a user who goes on would: damaged input
// is reported constantly and must neither open dialogs nor end the run.
#pragma once

#include "KESTstring.h"

#include <cstddef>
#include <cstdint>

namespace kqfuzz {

// The first input byte chooses the process locale (bits 0-1: "C",
// de_DE.UTF-8, en_US.UTF-8, "C") and an encoding for text (bits 2-3: ASCII,
// UTF-8, unknown, UTF-16). Changes LC_NUMERIC only when it differs.
uint32_t ApplySelector(uint8_t selector);

// Aborts (a finding) unless `s` is null or a fresh, well-formed record of
// the runtime: one reference, inline text with its length byte and NUL,
// capacity length + 2.
void CheckRecord(const KESTstring *s, const char *what);

// Aborts with `what` (a finding) unless `condition` holds.
void Require(bool condition, const char *what);

} // namespace kqfuzz
