// The string record's life cycle and the primitives other modules build on.
#include "KESTstring.h"

#include "SmallBlockAllocator.h"

#include <cstring>

namespace {

size_t BlockBytes(const KESTstring *s) {
    return sizeof(KESTstring) + s->capacity;
}

} // namespace

extern "C" void RuntimeLockString(KESTstring *s) {
    if (s != nullptr) ++s->refCount;
}

extern "C" void RuntimeUnlockString(KESTstring *s) {
    if (s != nullptr && --s->refCount == 0) smallblock::Release(s, BlockBytes(s));
}

namespace kstr {

KESTstring *Make(const void *bytes, uint32_t length, uint32_t encoding) {
    if (length == 0 || length > UINT32_MAX - sizeof(KESTstring) - 2) return nullptr;
    auto *s = static_cast<KESTstring *>(smallblock::Allocate(sizeof(KESTstring) + length + 2));
    if (s == nullptr) return nullptr;
    s->refCount = 1;
    s->text = reinterpret_cast<uint8_t *>(s + 1);
    s->capacity = length + 2;
    s->length = length;
    s->encoding = encoding;
    s->text[0] = static_cast<uint8_t>(length > 255 ? 255 : length);
    std::memcpy(s->text + 1, bytes, length);
    s->text[length + 1] = 0;
    return s;
}

KESTstring *FromC(const char *text) {
    return Make(text, static_cast<uint32_t>(std::strlen(text)), kEncodingASCII);
}

int CompareFold(const KESTstring *a, const KESTstring *b) {
    if (a == b) return 0;
    uint32_t la = Length(a), lb = Length(b);
    const unsigned char *pa = reinterpret_cast<const unsigned char *>(Text(a));
    const unsigned char *pb = reinterpret_cast<const unsigned char *>(Text(b));
    for (uint32_t i = 0; i < la && i < lb; ++i) {
        int ca = pa[i] >= 'a' && pa[i] <= 'z' ? pa[i] - 32 : pa[i];
        int cb = pb[i] >= 'a' && pb[i] <= 'z' ? pb[i] - 32 : pb[i];
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

} // namespace kstr
