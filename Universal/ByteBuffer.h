// ByteBuffer: text under construction. Short texts stay in the inline
// storage (no allocation); longer ones move to the heap. When memory runs out
// the buffer stops growing and remembers it, so builders can append
// unconditionally: MakeString then gives null.
#pragma once

#include "KESTstring.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

class ByteBuffer {
  public:
    ByteBuffer() = default;
    ~ByteBuffer() {
        if (mData != mInline) std::free(mData);
    }
    ByteBuffer(const ByteBuffer &) = delete;
    ByteBuffer &operator=(const ByteBuffer &) = delete;

    const uint8_t *Data() const { return mData; }
    size_t Size() const { return mSize; }

    bool Append(const void *bytes, size_t n) {
        if (n > mCapacity - mSize && !Grow(n)) return false;
        std::memcpy(mData + mSize, bytes, n);
        mSize += n;
        return true;
    }
    bool Append(uint8_t byte) {
        if (mSize == mCapacity && !Grow(1)) return false;
        mData[mSize++] = byte;
        return true;
    }
    bool Append(const char *text) { return Append(text, std::strlen(text)); }

    // Drops the last `n` bytes (all when n exceeds the size).
    void Truncate(size_t n) { mSize = n < mSize ? mSize - n : 0; }

    // The text as a new string record; null for no bytes, and null after a
    // failed append or when the text is too long for a record.
    KESTstring *MakeString(uint32_t encoding) const {
        if (mFailed || mSize > UINT32_MAX - 64) return nullptr;
        return kstr::Make(mData, static_cast<uint32_t>(mSize), encoding);
    }

  private:
    bool Grow(size_t extra) {
        if (mFailed) return false;
        size_t capacity = mCapacity <= SIZE_MAX / 2 ? mCapacity * 2 : SIZE_MAX;
        if (capacity - mSize < extra) {
            if (extra > SIZE_MAX - mSize) return Fail();
            capacity = mSize + extra;
        }
        uint8_t *data = static_cast<uint8_t *>(mData == mInline ? std::malloc(capacity)
                                                                : std::realloc(mData, capacity));
        if (data == nullptr) return Fail();
        if (mData == mInline) std::memcpy(data, mInline, mSize);
        mData = data;
        mCapacity = capacity;
        return true;
    }
    bool Fail() {
        mFailed = true;
        return false;
    }

    static constexpr size_t kInline = 128;
    uint8_t mInline[kInline];
    uint8_t *mData = mInline;
    size_t mSize = 0;
    size_t mCapacity = kInline;
    bool mFailed = false;
};
