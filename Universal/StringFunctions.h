// The entry points of the language's string functions, called by compiled
// code. Arguments are borrowed; a returned string carries one reference for
// the caller. Positions of the language are 1-based; "B" functions and the
// plain Left/Right/Mid/Len/Asc/InStr count bytes, the DBCS functions count
// characters of the string's encoding.
#pragma once

#include "KESTstring.h"

#include <cstdint>

extern "C" {

// Numbers and text.
KESTstring *StringFormat(double value, KESTstring *pattern);
double StringVal(KESTstring *s);
double runCDbl(KESTstring *s);
int32_t runCLong(KESTstring *s);
KESTstring *StringStrDouble(double value);
KESTstring *StringStrSingle(float value);
KESTstring *StringStrInt8(int8_t value);
KESTstring *StringStrUInt8(uint8_t value);
KESTstring *StringStrInt16(int16_t value);
KESTstring *StringStrUInt16(uint16_t value);
KESTstring *StringStrInt32(int32_t value);
KESTstring *StringStrUInt32(uint32_t value);
KESTstring *StringStrInt64(int64_t value);
KESTstring *StringStrUInt64(uint64_t value);
}
