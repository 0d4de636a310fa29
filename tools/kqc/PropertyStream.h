// Design-time property streams: the byte strings that RuntimeMassPropertySetter
// decodes to set the properties of a window, a control or a menu item. Each
// entry is the property's slot (2 bytes, big-endian) and its value, encoded
// by the first character of the slot's type code: b one byte, c red, green
// and blue, f a 4-byte IEEE single, i a 4-byte integer, s a 4-byte length and
// the UTF-8 bytes; every number big-endian.
#pragma once

#include <string>

#include "Symbols.h"

namespace kqc {

// Whether a property of this type can be given a constant in a stream.
bool streamable(const Type *t);

// Appends the entry (slot, value) for a property of type `t`; `value` is a
// constant already converted to `t`. False when the type or the slot cannot
// be written into a stream (nothing is appended then).
bool appendEntry(std::string &stream, int slot, const Type *t, const ConstValue &value);

} // namespace kqc
