// The string functions that make or take arrays of strings: Split (without
// regard to case, in the strings' common encoding), SplitB (byte for byte)
// and Join.
#pragma once

#include "KESTstring.h"
#include "RuntimeArray.h"

extern "C" {
// The fields of `s` between the separators, as a new one-dimensional array
// of strings: empty for an empty string, the whole string as the one field
// for an empty separator.
RuntimeArray *StringSplit(KESTstring *s, KESTstring *separator);
RuntimeArray *StringSplitB(KESTstring *s, KESTstring *separator);
// The elements of a one-dimensional string array with the separator between
// them, in their common encoding; empty for nil or an empty array.
KESTstring *StringJoin(RuntimeArray *strings, KESTstring *separator);
}
