// Text encodings: the identifiers strings carry, the rule by which two
// strings find a common encoding, and conversion between encodings with the
// system's iconv.
//
// An identifier is 32 bits: base (low 16 bits), variant (next 10 bits) and
// format (top 6 bits, from bit 26). The bases 0x100 to 0x1FF are the Unicode
// family: UTF-16 (format 0), UTF-7 (1), UTF-8 (2), UTF-32 (3).
//
// Conversion never fails visibly: identifiers without a converter and
// converters that cannot be opened leave the text as it is; bytes that the
// source encoding cannot decode become "?".
#pragma once

#include "KESTstring.h"

#include <cstddef>
#include <cstdint>

class ByteBuffer;

namespace textenc {

constexpr uint32_t kMacRoman = 0;
constexpr uint32_t kISOLatin1 = 0x201;
constexpr uint32_t kWindowsLatin1 = 0x500;
constexpr uint32_t kISO2022JP = 0x820;
constexpr uint32_t kEUCJP = 0x920;
constexpr uint32_t kShiftJIS = 0xA01;

inline uint32_t Base(uint32_t id) {
    return id & 0xFFFF;
}
inline uint32_t Variant(uint32_t id) {
    return (id >> 16) & 0x3FF;
}
inline uint32_t Format(uint32_t id) {
    return id >> 26;
}

// The encoding of text whose encoding is unknown: UTF-8 on this platform.
uint32_t SystemEncoding();

// The name handed to iconv_open for an identifier; unknown (0xFFFF) stands
// for the system encoding. Null when the identifier has no converter.
const char *ConverterName(uint32_t id);

// Bases 0x100 to 0x1FF, whatever the format (UTF-8 included).
bool IsUnicodeFamily(uint32_t id);
// Every ASCII text is the same bytes in this encoding (ASCII itself, UTF-8,
// the single-byte and East Asian sets, unknown; not UTF-16/32, EBCDIC or
// ISO-2022).
bool IsAsciiSuperset(uint32_t id);
// The East Asian encodings whose characters take one or more bytes.
bool IsMultiByte(uint32_t id);

// The identifier in which two identifiers meet: equal ones stay; ASCII and
// UTF-8 give UTF-8; ASCII and an ASCII superset give the superset; anything
// else is unknown without permission to convert, and with it UTF-16 when
// either is UTF-16 and neither UTF-8, else UTF-8.
uint32_t Combine(uint32_t a, uint32_t b, bool allowConversion);

// Brings the strings held in `*s1` and `*s2` (one reference each) to their
// common encoding, converting and replacing the held records where needed,
// and returns that encoding. An empty string takes the other's encoding
// (ASCII when both are empty); an unknown encoding on either side gives
// unknown and converts nothing.
uint32_t BringToCommon(KESTstring **s1, KESTstring **s2);

// `s` converted to `target` (a new reference). The string itself when the
// target is unknown, `s` is empty, of unknown encoding or already in the
// target, or when no converter exists. ASCII text going to an ASCII superset
// is copied and relabelled. The last iconv conversion is cached: asking again
// for the same record and target returns the same result.
KESTstring *Convert(KESTstring *s, uint32_t target);

// The name of an encoding on the Internet ("UTF-8", "windows-1252", ...),
// null when it has none; and the identifier of such a name (compared without
// regard to case), kEncodingUnknown when it is none of them.
const char *InternetName(uint32_t id);
uint32_t FromInternetName(const char *name);

// The one-character string of a code point in an encoding; null for a value
// that is no code point.
KESTstring *CharacterIn(uint32_t id, uint32_t codePoint);

// Which Japanese encoding a byte string is most likely in: ISO-2022-JP when
// it holds its escape sequences, else EUC-JP or Shift_JIS by which of them
// its bytes form valid characters of (Shift_JIS when both or neither do).
uint32_t GuessJapanese(const KESTstring *s);

// Converts `length` bytes from `from` to `to` with iconv and appends the
// result to `out`; each undecodable byte becomes "?" in the target encoding.
// With `incompleteTail`, an incomplete character at the very end is left
// unconverted and its length stored there. False, with nothing appended,
// when either identifier has no converter or iconv cannot open one.
bool ConvertBytes(uint32_t from, uint32_t to, const uint8_t *bytes, size_t length, ByteBuffer *out,
                  size_t *incompleteTail);

// UTF-8 sequences. DecodeUTF8 reads one character of at most `available`
// bytes and stores its length in `*used`; a byte that starts no valid
// sequence is one character of its own, returned as its byte value.
uint32_t DecodeUTF8(const uint8_t *p, size_t available, size_t *used);
// Writes the UTF-8 form of a code point to `out` and returns its length;
// 0 for surrogates and values beyond U+10FFFF.
size_t EncodeUTF8(uint32_t codePoint, uint8_t out[4]);

} // namespace textenc
