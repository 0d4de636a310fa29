// The design-time property stream: one byte string per window or control in
// which the image encodes the values of its design-time properties, decoded
// by RuntimeMassPropertySetter into calls of the class's property setters.
//
// The stream is a sequence of entries up to its end, without header, count
// or terminator. Each entry is a slot number (two bytes, big-endian) into the
// object's class property table, then the value, encoded by the first
// character of the slot's type code (the text between the first two "%" of
// its mangled name):
//
//   b  1 byte                      Boolean, true when nonzero
//   c  3 bytes red, green, blue    integer red * 65536 + green * 256 + blue
//   d  8 bytes IEEE double, BE     Double
//   f  4 bytes IEEE single, BE     Single (also for "f8": both start with f)
//   i  4 bytes two's complement BE 32-bit integer
//   s  4-byte BE length n, n bytes a new UTF-8 string, released after the call
//
// A setter entry of 1 in the property table stands for the generic setter of
// the value's kind (boolSetter, intSetter, doubleSetter, singleSetter,
// stringSetter), called with the entry's parameter as the field offset.
//
// Reports (source "Common/runctl", code 4): a slot beyond the table
// ("destIndex < propTableCount") and a read-only slot ("0", "Assignment to
// read-only property " and the slot's name) stop the decoding of the stream;
// an unknown type character ("0", "Illegal type in mass property input.")
// reads no value and decoding goes on with the next bytes. The stream is not
// trusted: a slot number or value that runs past its end is reported and
// ends the decoding; nothing is ever read beyond the stream.
#pragma once

#include "KESTstring.h"

struct RuntimeObject;

extern "C" void RuntimeMassPropertySetter(RuntimeObject *object, KESTstring *stream);
