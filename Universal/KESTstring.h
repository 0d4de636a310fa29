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
// run time is one small block of length + 22 bytes. Records are shared
// freely; whoever wants to change bytes in place first makes a private copy
// unless it holds the only reference (SetByte does this).
//
// Functions that return a KESTstring* hand one reference to the caller;
// arguments are borrowed unless said otherwise.
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

// Encoding identifiers carried in KESTstring.encoding (TextEncodingUtil.h
// has the rest of the numbering and the conversions).
constexpr uint32_t kEncodingASCII = 0x0600;
constexpr uint32_t kEncodingUTF8 = 0x08000100;
constexpr uint32_t kEncodingUTF16 = 0x0100;
constexpr uint32_t kEncodingUTF32 = 0x0C000100;
constexpr uint32_t kEncodingUnknown = 0xFFFF;

extern "C" {
void RuntimeLockString(KESTstring *s);
void RuntimeUnlockString(KESTstring *s);
// Assignment: nothing when both are the same, else lock `newValue` and then
// unlock `oldValue`.
void RuntimeLockUnlockStrings(KESTstring *newValue, KESTstring *oldValue);
// a & b through the common encoding; the arguments keep their references.
KESTstring *RuntimeAddString(KESTstring *a, KESTstring *b);
// -1, 0, 1: case-insensitive, characters for UTF-8 and UTF-16 text.
int32_t RuntimeStringCompare(KESTstring *a, KESTstring *b);
}

namespace kstr {

// A new record holding a copy of `length` bytes (null when length is 0 or
// memory runs out).
KESTstring *Make(const void *bytes, uint32_t length, uint32_t encoding);

// A new record of `length` bytes for the caller to fill in before anyone
// else sees it (length byte and NUL are set; null when length is 0).
KESTstring *New(uint32_t length, uint32_t encoding);

// A new record of NUL-terminated runtime text, marked ASCII.
KESTstring *FromC(const char *text);

// The text bytes, NUL-terminated; a static "" for null.
inline const char *Text(const KESTstring *s) {
    return s != nullptr ? reinterpret_cast<const char *>(s->text + 1) : "";
}
inline const uint8_t *Bytes(const KESTstring *s) {
    return reinterpret_cast<const uint8_t *>(Text(s));
}
inline uint32_t Length(const KESTstring *s) {
    return s != nullptr ? s->length : 0;
}
// The encoding; an empty string counts as ASCII.
inline uint32_t Encoding(const KESTstring *s) {
    return Length(s) != 0 ? s->encoding : kEncodingASCII;
}

// A new reference to `s` (the record itself).
KESTstring *Share(KESTstring *s);
// A private record with the same bytes and encoding.
KESTstring *Copy(const KESTstring *s);
// The same bytes labelled with another encoding (the record itself when the
// encoding is already that one).
KESTstring *Relabel(KESTstring *s, uint32_t encoding);

// Parts by byte position, 0-based. A start below 0 counts as 0; a start at
// or past the end, or a count of 0 or less, gives null; a count past the end
// is cut. A part that spans the whole string is the record itself.
KESTstring *Left(KESTstring *s, int32_t count);
KESTstring *Right(KESTstring *s, int32_t count);
KESTstring *Mid(KESTstring *s, int32_t start, int32_t count);
KESTstring *MidToEnd(KESTstring *s, int32_t start);

// a & b. An empty operand gives the other operand itself; operands of
// different encodings are joined in their common encoding.
KESTstring *Concat(KESTstring *a, KESTstring *b);

// The position of the first `byte` at or after `from` (below 0 counts as
// 0), or -1.
int32_t FindByte(const KESTstring *s, uint8_t byte, int32_t from);

// The text in UTF-8 (the record itself when it already is, or when its
// encoding is unknown).
KESTstring *ToUTF8(KESTstring *s);

// Writes byte `pos` of the string in `*holder`, first replacing the holder's
// record by a private copy when it is shared. A position outside the string
// is a failed assertion; nothing is written then. True when written.
bool SetByte(KESTstring **holder, int32_t pos, uint8_t value);

// Appends printf-style text to the string in `*holder` (which is replaced by
// the longer record); the holder's encoding is kept, ASCII for an empty one.
void AppendFormat(KESTstring **holder, const char *format, ...)
    __attribute__((format(printf, 2, 3)));

// Comparisons: -1, 0, 1 after bringing both to their common encoding.
// CompareFold is the comparison of `=` and of StringMap keys: equal lengths
// by strncasecmp, different lengths byte by byte through kFoldTable as
// signed bytes, a prefix before the longer string. CompareBinary is the same
// with plain bytes (equal lengths by strncmp).
int CompareFold(const KESTstring *a, const KESTstring *b);
int CompareBinary(const KESTstring *a, const KESTstring *b);

// ASCII "a".."z" to upper case, and the accented lower-case letters of the
// Mac Roman upper half to their upper-case forms; every other byte itself.
struct ByteTable {
    uint8_t map[256];
};
extern const ByteTable kFoldTable;

// Holds one reference to a string for the life of the handle.
class StringRef {
  public:
    StringRef() = default;
    // Takes over one reference that the caller owns.
    explicit StringRef(KESTstring *owned) : mS(owned) {}
    // A handle with a reference of its own.
    static StringRef Shared(KESTstring *s) { return StringRef(Share(s)); }
    StringRef(StringRef &&other) noexcept : mS(other.Release()) {}
    StringRef &operator=(StringRef &&other) noexcept {
        Reset(other.Release());
        return *this;
    }
    StringRef(const StringRef &) = delete;
    StringRef &operator=(const StringRef &) = delete;
    ~StringRef() { RuntimeUnlockString(mS); }

    KESTstring *Get() const { return mS; }
    KESTstring **Holder() { return &mS; }
    // Hands the reference to the caller.
    KESTstring *Release() {
        KESTstring *s = mS;
        mS = nullptr;
        return s;
    }
    void Reset(KESTstring *owned = nullptr) {
        RuntimeUnlockString(mS);
        mS = owned;
    }

  private:
    KESTstring *mS = nullptr;
};

} // namespace kstr
