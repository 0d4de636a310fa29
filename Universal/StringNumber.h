// Numbers and text: reading a number from text (Val, CDbl) and writing one
// (Str, and the digit printing that Format builds on).
#pragma once

#include "KESTstring.h"
#include "NumberSeparators.h"

#include <cstdint>

class ByteBuffer;

namespace kstr {

// Text to number as the language's Val reads it: "&h", "&o", "&b" prefixes
// read a signed 32-bit integer; otherwise a decimal number from the start
// (after white space) with "." as the decimal point in every locale; what
// cannot continue the number ends it. Text without a number reads 0.
double Val(const KESTstring *s);

// Val, also telling whether the whole text is a number: white space around
// it, signs, digits, one ".", "," between digits, an exponent after "e",
// "E", "d" or "D" with an optional sign and digits.
double ValChecked(const KESTstring *s, bool *valid);

// Val after the locale's thousands separators are removed and its decimal
// separators become ".".
double CDbl(const KESTstring *s);

// A floating-point value as Str writes it: fixed notation with 7 significant
// digits for magnitudes from 0.00001 to 1000000 (and zero), trailing zeros
// and point removed; scientific with 6 mantissa decimals otherwise. With
// `localeDecimal` the locale's decimal separator replaces ".".
KESTstring *StrDouble(double value, bool localeDecimal);

// The digits of `value` as printf writes them with `decimals` decimals in
// fixed or scientific notation, with "." for the decimal point (the locale's
// `decimalPoint` is replaced) and, in scientific notation, a "0" directly
// after "e+" removed. Negative zero prints as zero; `value` must be finite.
void PrintNumber(double value, int decimals, bool scientific, const char *decimalPoint,
                 ByteBuffer *out);

} // namespace kstr
