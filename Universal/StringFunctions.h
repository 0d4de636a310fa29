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

// Bytes.
KESTstring *StringLeft(KESTstring *s, int32_t count);
KESTstring *StringRight(KESTstring *s, int32_t count);
KESTstring *StringMid2(KESTstring *s, int32_t start);
KESTstring *StringMid3(KESTstring *s, int32_t start, int32_t count);
int32_t StringLen(KESTstring *s);
int32_t StringAsc(KESTstring *s);
// A one-byte string of the code's low byte: ASCII below 128, else unknown.
KESTstring *StringChr(int32_t code);
int32_t StringInStrB(KESTstring *s, KESTstring *find);
int32_t StringExtendsInStrB(int32_t start, KESTstring *s, KESTstring *find);
int32_t StringCountFieldsB(KESTstring *s, KESTstring *separator);
KESTstring *StringNthFieldB(KESTstring *s, KESTstring *separator, int32_t n);
KESTstring *StringReplaceB(KESTstring *s, KESTstring *find, KESTstring *replacement);
KESTstring *StringReplaceAllB(KESTstring *s, KESTstring *find, KESTstring *replacement);

// Searching, fields, replacing without regard to case (positions in bytes).
int32_t StringInStr(KESTstring *s, KESTstring *find);
int32_t StringExtendsInStr(int32_t start, KESTstring *s, KESTstring *find);
int32_t StringCountFields(KESTstring *s, KESTstring *separator);
KESTstring *StringNthField(KESTstring *s, KESTstring *separator, int32_t n);
KESTstring *StringReplace(KESTstring *s, KESTstring *find, KESTstring *replacement);
KESTstring *StringReplaceAll(KESTstring *s, KESTstring *find, KESTstring *replacement);

// Mode 0 compares bytes, any other mode without regard to case: -1, 0, 1.
int32_t StringStrCompare(KESTstring *a, KESTstring *b, int32_t mode);

// Spaces and tabs off the left, the right or both ends.
KESTstring *runLTrim(KESTstring *s);
KESTstring *runRTrim(KESTstring *s);
KESTstring *runTrim(KESTstring *s);

// Characters.
KESTstring *StringDBCSLeft(KESTstring *s, int32_t count);
KESTstring *StringDBCSRight(KESTstring *s, int32_t count);
KESTstring *StringDBCSMid2(KESTstring *s, int32_t start);
KESTstring *StringDBCSMid3(KESTstring *s, int32_t start, int32_t count);
int32_t StringDBCSLen(KESTstring *s);
int32_t StringDBCSAsc(KESTstring *s);
int32_t StringDBCSInStr(KESTstring *s, KESTstring *find);
// The UTF-8 string of a code point; empty for values that are none.
KESTstring *StringDBCSChr(int32_t code);

// Case mapping.
KESTstring *StringUCase(KESTstring *s);
KESTstring *StringLCase(KESTstring *s);
KESTstring *StringTitleCase(KESTstring *s);
}
