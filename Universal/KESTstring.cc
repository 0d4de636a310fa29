// The string record's life cycle and the primitives other modules build on.
#include "KESTstring.h"

#include "RuntimeErrorReport.h"
#include "SmallBlockAllocator.h"
#include "TextEncodingUtil.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

const char *const kSource = "Universal/KESTstring";

size_t BlockBytes(const KESTstring *s) {
    return sizeof(KESTstring) + s->capacity;
}

// Two strings of one encoding, joined.
KESTstring *Join(const KESTstring *a, const KESTstring *b, uint32_t encoding) {
    uint32_t la = kstr::Length(a), lb = kstr::Length(b);
    if (lb > UINT32_MAX - 64 - la) return nullptr;
    KESTstring *s = kstr::New(la + lb, encoding);
    if (s == nullptr) return nullptr;
    std::memcpy(s->text + 1, kstr::Bytes(a), la);
    std::memcpy(s->text + 1 + la, kstr::Bytes(b), lb);
    return s;
}

} // namespace

extern "C" void RuntimeLockString(KESTstring *s) {
    if (s != nullptr) ++s->refCount;
}

extern "C" void RuntimeUnlockString(KESTstring *s) {
    if (s != nullptr && --s->refCount == 0) smallblock::Release(s, BlockBytes(s));
}

extern "C" void RuntimeLockUnlockStrings(KESTstring *newValue, KESTstring *oldValue) {
    if (newValue == oldValue) return;
    RuntimeLockString(newValue);
    RuntimeUnlockString(oldValue);
}

extern "C" KESTstring *RuntimeAddString(KESTstring *a, KESTstring *b) {
    return kstr::Concat(a, b);
}

namespace kstr {

KESTstring *New(uint32_t length, uint32_t encoding) {
    if (length == 0 || length > UINT32_MAX - sizeof(KESTstring) - 2) return nullptr;
    auto *s = static_cast<KESTstring *>(smallblock::Allocate(sizeof(KESTstring) + length + 2));
    if (s == nullptr) return nullptr;
    s->refCount = 1;
    s->text = reinterpret_cast<uint8_t *>(s + 1);
    s->capacity = length + 2;
    s->length = length;
    s->encoding = encoding;
    s->text[0] = static_cast<uint8_t>(length > 255 ? 255 : length);
    s->text[length + 1] = 0;
    return s;
}

KESTstring *Make(const void *bytes, uint32_t length, uint32_t encoding) {
    KESTstring *s = New(length, encoding);
    if (s != nullptr) std::memcpy(s->text + 1, bytes, length);
    return s;
}

KESTstring *FromC(const char *text) {
    return Make(text, static_cast<uint32_t>(std::strlen(text)), kEncodingASCII);
}

KESTstring *Share(KESTstring *s) {
    RuntimeLockString(s);
    return s;
}

KESTstring *Copy(const KESTstring *s) {
    return Length(s) != 0 ? Make(Bytes(s), s->length, s->encoding) : nullptr;
}

KESTstring *Relabel(KESTstring *s, uint32_t encoding) {
    if (Length(s) == 0 || s->encoding == encoding) return Share(s);
    return Make(Bytes(s), s->length, encoding);
}

KESTstring *Mid(KESTstring *s, int32_t start, int32_t count) {
    uint32_t length = Length(s);
    if (start < 0) start = 0;
    if (uint32_t(start) >= length || count <= 0) return nullptr;
    uint32_t rest = length - uint32_t(start);
    uint32_t n = uint32_t(count) < rest ? uint32_t(count) : rest;
    if (start == 0 && n == length) return Share(s);
    return Make(Bytes(s) + start, n, s->encoding);
}

KESTstring *MidToEnd(KESTstring *s, int32_t start) {
    return Mid(s, start, INT32_MAX);
}

KESTstring *Left(KESTstring *s, int32_t count) {
    return Mid(s, 0, count);
}

KESTstring *Right(KESTstring *s, int32_t count) {
    uint32_t length = Length(s);
    if (count <= 0) return nullptr;
    if (uint32_t(count) >= length) return Share(s);
    return Make(Bytes(s) + (length - count), uint32_t(count), s->encoding);
}

KESTstring *Concat(KESTstring *a, KESTstring *b) {
    if (Length(b) == 0) return Share(a);
    if (Length(a) == 0) return Share(b);
    if (a->encoding == b->encoding) return Join(a, b, a->encoding);
    StringRef ha = StringRef::Shared(a), hb = StringRef::Shared(b);
    uint32_t common = textenc::BringToCommon(ha.Holder(), hb.Holder());
    return Join(ha.Get(), hb.Get(), common);
}

int32_t FindByte(const KESTstring *s, uint8_t byte, int32_t from) {
    uint32_t length = Length(s);
    if (from < 0) from = 0;
    if (uint32_t(from) >= length) return -1;
    const void *hit = std::memchr(Bytes(s) + from, byte, length - from);
    return hit != nullptr ? int32_t(static_cast<const uint8_t *>(hit) - Bytes(s)) : -1;
}

KESTstring *ToUTF8(KESTstring *s) {
    return textenc::Convert(s, kEncodingUTF8);
}

bool SetByte(KESTstring **holder, int32_t pos, uint8_t value) {
    if (holder == nullptr || *holder == nullptr) {
        KQ_ASSERT_TEXT(kSource, false, "not pos", nullptr);
        return false;
    }
    KESTstring *s = *holder;
    bool inside = pos >= 0 && uint32_t(pos) < s->length;
    KQ_ASSERT_TEXT(kSource, inside, "not (pos < 0 || pos >= Length())", nullptr);
    if (!inside) return false;
    if (s->refCount != 1) {
        KESTstring *copy = Copy(s);
        if (copy == nullptr) return false;
        RuntimeUnlockString(s);
        *holder = s = copy;
    }
    s->text[1 + pos] = value;
    return true;
}

void AppendFormat(KESTstring **holder, const char *format, ...) {
    if (holder == nullptr) return;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    uint32_t length = Length(*holder);
    if (n <= 0 || uint32_t(n) > UINT32_MAX - 64 - length) return;
    KESTstring *s = New(length + uint32_t(n), Encoding(*holder));
    if (s == nullptr) return;
    std::memcpy(s->text + 1, Bytes(*holder), length);
    // The record's NUL byte takes vsnprintf's terminator.
    va_start(args, format);
    std::vsnprintf(reinterpret_cast<char *>(s->text + 1 + length), size_t(n) + 1, format, args);
    va_end(args);
    RuntimeUnlockString(*holder);
    *holder = s;
}

} // namespace kstr
