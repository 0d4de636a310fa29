// KESTstring: the reference-counted string record of the class model. The
// image's compiled code and its static string literals use this exact layout,
// so every field's offset is fixed and checked below.
//
//   offset  field      meaning
//   0       refCount   holders; 1 at creation
//   4       text       -> length byte, then `length` text bytes, then NUL
//   8       capacity   bytes reserved at `text`: length + 2
//   12      length     text bytes (not characters)
//   16      encoding   encoding identifier (kEncoding...)
//   20      buffer     inline: length byte (min(length, 255)), text, NUL
//
// The empty string is the null pointer: every operation accepts null as ""
// and an operation that would make zero bytes makes null. A record made at
// run time is one small block of length + 22 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

struct KESTstring {
    uint32_t refCount;
    uint8_t *text;
    uint32_t capacity;
    uint32_t length;
    uint32_t encoding;
};

static_assert(offsetof(KESTstring, refCount) == 0, "KESTstring.refCount");
static_assert(offsetof(KESTstring, text) == 4, "KESTstring.text");
static_assert(offsetof(KESTstring, capacity) == 8, "KESTstring.capacity");
static_assert(offsetof(KESTstring, length) == 12, "KESTstring.length");
static_assert(offsetof(KESTstring, encoding) == 16, "KESTstring.encoding");
static_assert(sizeof(KESTstring) == 20, "KESTstring header");

// Encoding identifiers carried in KESTstring.encoding.
constexpr uint32_t kEncodingASCII = 0x0600;
constexpr uint32_t kEncodingUTF8 = 0x08000100;
constexpr uint32_t kEncodingUTF16 = 0x0100;
constexpr uint32_t kEncodingUTF32 = 0x0C000100;
constexpr uint32_t kEncodingUnknown = 0xFFFF;

extern "C" {
void RuntimeLockString(KESTstring *s);
void RuntimeUnlockString(KESTstring *s);
}

namespace kstr {

// A new record holding a copy of `length` bytes (null when length is 0 or
// memory runs out), with one reference owned by the caller.
KESTstring *Make(const void *bytes, uint32_t length, uint32_t encoding);

// A new record of NUL-terminated runtime text, marked ASCII.
KESTstring *FromC(const char *text);

// The text bytes, NUL-terminated; a static "" for null.
inline const char *Text(const KESTstring *s) {
    return s != nullptr ? reinterpret_cast<const char *>(s->text + 1) : "";
}
inline uint32_t Length(const KESTstring *s) {
    return s != nullptr ? s->length : 0;
}

// Case-insensitive comparison: < 0, 0, > 0. (ASCII letters folded, bytes
// otherwise; encodings are not reconciled yet.)
int CompareFold(const KESTstring *a, const KESTstring *b);

} // namespace kstr
