// Byte-level rules of array storage: index arithmetic, growth, trimming,
// resizing and destruction. Every change builds the new state completely and
// installs it before references are dropped, so that code run by an unlock
// (a destructor that reads the same array) always sees a consistent array.
#include "ArrayStorage.h"
#include "RuntimeException.h"

#include "RuntimeErrorReport.h"

#include <climits>
#include <cstdlib>
#include <cstring>

const char kArraySource[] = "../Common/Object Model/RuntimeArray";

void ArrayRaiseOutOfBounds() {
    RaiseOutOfBoundsException();
}

void ArrayRaiseOutOfMemory() {
    exceptions::RaiseDefinition(&OutOfMemoryExceptionDefinition);
}

int32_t ArrayParts::Count() const {
    const int32_t *bound = Bounds();
    int32_t count = 1;
    for (int32_t k = 0; k < shape->dimensions; ++k)
        count *= bound[k] + 1;
    return count;
}

ArrayParts PlainParts(RuntimeArray *a, const ArrayElementKind *kind) {
    return ArrayParts{a, &a->data, &a->shape, kind, kind->width};
}

ArrayParts StructureParts(RuntimeArray *a, const ArrayElementKind *kind) {
    auto *s = reinterpret_cast<RuntimeStructureArray *>(a);
    return ArrayParts{a, &s->data, &s->shape, kind, s->elementSize};
}

namespace arraystore {

namespace {

// Byte count of `count` elements, or -1 when it does not fit a record.
int64_t BytesFor(int64_t count, int32_t width) {
    int64_t bytes = count * width;
    return bytes > INT32_MAX ? -1 : bytes;
}

void UnlockRange(const ArrayParts &p, char *bytes, int32_t first, int32_t end) {
    if (p.kind->unlock == nullptr) return;
    for (int32_t i = first; i < end; ++i)
        p.kind->unlock(bytes + size_t(i) * p.width);
}

void Install(const ArrayParts &p, void *buffer, int32_t length) {
    *p.data = buffer;
    p.shape->bufferLength = length;
}

// Reads one index or bound argument per dimension of the record (at most
// kArrayMaxDimensions); returns how many.
int32_t ReadArguments(const ArrayParts &p, int32_t first, va_list rest, int32_t *out) {
    int32_t count = p.shape->dimensions;
    count = count < 1 ? 1 : (count > kArrayMaxDimensions ? kArrayMaxDimensions : count);
    out[0] = first;
    for (int32_t k = 1; k < count; ++k)
        out[k] = va_arg(rest, int32_t);
    return count;
}

// Calls visit(at, target) for the `count` elements of an array with the
// bounds `from`, in storage order: `target` is the element's linear index
// under the bounds `to`, or -1 when it lies outside them.
template <typename Visit>
void EachElement(int32_t dimensions, const int32_t *from, const int32_t *to, int32_t count,
                 Visit visit) {
    int32_t index[kArrayMaxDimensions] = {};
    for (int32_t at = 0; at < count; ++at) {
        int64_t target = 0, stride = 1;
        for (int32_t k = 0; k < dimensions && target >= 0; ++k) {
            target = index[k] <= to[k] ? target + int64_t(index[k]) * stride : -1;
            stride *= int64_t(to[k]) + 1;
        }
        visit(at, target);
        for (int32_t k = 0; k < dimensions && ++index[k] > from[k]; ++k)
            index[k] = 0;
    }
}

} // namespace

bool OneDimensional(const ArrayParts &p) {
    bool one = p.shape->dimensions == 1;
    KQ_ASSERT_TEXT(kArraySource, one, "1 == array->dimensions", nullptr);
    return one;
}

int32_t Unchecked(const ArrayParts &p, const int32_t *index, int32_t count) {
    const int32_t *bound = p.Bounds();
    int64_t at = 0, stride = 1;
    for (int32_t k = 0; k < count; ++k) {
        at += int64_t(index[k]) * stride;
        stride *= int64_t(bound[k]) + 1;
    }
    if (at < 0 || at >= p.Count() || *p.data == nullptr) return -1;
    return int32_t(at);
}

int32_t Locate(const ArrayParts &p, bool checked, int32_t first, va_list rest) {
    int32_t index[kArrayMaxDimensions];
    int32_t count = ReadArguments(p, first, rest, index);
    return Locate(p, checked, index, count);
}

void Resize(const ArrayParts &p, int32_t first, va_list rest) {
    int32_t bounds[kArrayMaxDimensions];
    ReadArguments(p, first, rest, bounds);
    Resize(p, bounds);
}

bool OpenGap(const ArrayParts &p, int32_t index) {
    if (!OneDimensional(p)) return false;
    int32_t *bound = p.Bounds();
    int32_t last = bound[0];
    if (index < 0 || index > last + 1) {
        ArrayRaiseOutOfBounds();
        return false;
    }
    int64_t minimumBufferSize = BytesFor(int64_t(last) + 2, p.width);
    if (minimumBufferSize < 0) {
        ArrayRaiseOutOfMemory();
        return false;
    }
    size_t width = p.width, before = size_t(index) * width;
    size_t after = (size_t(last) + 1 - index) * width;
    if (p.shape->bufferLength < minimumBufferSize) {
        int64_t length = int64_t(p.shape->bufferLength) + int64_t(p.shape->growthStep) * p.width;
        KQ_ASSERT_TEXT(kArraySource, length >= minimumBufferSize,
                       "array->bufferLength >= minimumBufferSize", nullptr);
        if (length < minimumBufferSize || length > INT32_MAX) length = minimumBufferSize;
        char *buffer = static_cast<char *>(std::malloc(size_t(length)));
        if (buffer == nullptr) {
            ArrayRaiseOutOfMemory();
            return false;
        }
        char *old = p.Bytes();
        if (old != nullptr) {
            std::memcpy(buffer, old, before);
            std::memcpy(buffer + before + width, old + before, after);
        }
        Install(p, buffer, int32_t(length));
        std::free(old);
        if (p.shape->growthStep < kArrayGrowthStepLimit) p.shape->growthStep *= 2;
    } else {
        std::memmove(p.Bytes() + before + width, p.Bytes() + before, after);
    }
    std::memset(p.Bytes() + before, 0, width);
    bound[0] = last + 1;
    return true;
}

void Remove(const ArrayParts &p, int32_t index) {
    if (!OneDimensional(p)) return;
    int32_t *bound = p.Bounds();
    int32_t last = bound[0];
    if (index < 0 || index > last) {
        ArrayRaiseOutOfBounds();
        return;
    }
    size_t width = p.width, before = size_t(index) * width;
    size_t after = size_t(last - index) * width;
    char *old = p.Bytes();
    char removed[8] = {};
    std::memcpy(removed, old + before, width < sizeof removed ? width : sizeof removed);

    int32_t length = int32_t(size_t(last) * width);
    char *buffer = length > 0 ? static_cast<char *>(std::malloc(size_t(length))) : nullptr;
    if (length > 0 && buffer == nullptr) {
        // No smaller buffer to be had: keep the old one and close the gap.
        std::memmove(old + before, old + before + width, after);
    } else {
        if (buffer != nullptr) {
            std::memcpy(buffer, old, before);
            std::memcpy(buffer + before, old + before + width, after);
        }
        Install(p, buffer, length);
        std::free(old);
    }
    p.shape->growthStep = kArrayInitialGrowthStep;
    bound[0] = last - 1;
    if (p.kind->unlock != nullptr) p.kind->unlock(removed);
}

void Resize(const ArrayParts &p, const int32_t *requested) {
    int32_t dimensions = p.shape->dimensions;
    int32_t *bound = p.Bounds();
    int32_t oldBound[kArrayMaxDimensions], newBound[kArrayMaxDimensions];
    bool same = true;
    int64_t newCount = 1;
    for (int32_t k = 0; k < dimensions; ++k) {
        oldBound[k] = bound[k];
        newBound[k] = requested[k] < -1 ? -1 : requested[k];
        same = same && newBound[k] == bound[k];
        newCount *= int64_t(newBound[k]) + 1;
        if (newCount > INT32_MAX) newCount = INT32_MAX + int64_t(1);
    }
    if (same) return;
    int64_t length = BytesFor(newCount, p.width);
    char *buffer = nullptr;
    if (length != 0) {
        buffer = length > 0 ? static_cast<char *>(std::calloc(size_t(length), 1)) : nullptr;
        if (buffer == nullptr) {
            ArrayRaiseOutOfMemory();
            return;
        }
    }
    char *old = p.Bytes();
    int32_t oldCount = p.Count();
    size_t width = p.width;
    EachElement(dimensions, oldBound, newBound, oldCount, [&](int32_t at, int64_t target) {
        if (target >= 0)
            std::memcpy(buffer + size_t(target) * width, old + size_t(at) * width, width);
    });
    Install(p, buffer, int32_t(length));
    for (int32_t k = 0; k < dimensions; ++k)
        bound[k] = newBound[k];
    p.shape->growthStep = kArrayInitialGrowthStep;
    if (p.kind->unlock != nullptr) {
        EachElement(dimensions, oldBound, newBound, oldCount, [&](int32_t at, int64_t target) {
            if (target < 0) p.kind->unlock(old + size_t(at) * width);
        });
    }
    std::free(old);
}

void DestroyContents(const ArrayParts &p) {
    char *old = p.Bytes();
    int32_t count = old != nullptr ? p.Count() : 0;
    Install(p, nullptr, 0);
    for (int32_t k = 0; k < p.shape->dimensions; ++k)
        p.Bounds()[k] = -1;
    UnlockRange(p, old, 0, count);
    std::free(old);
}

int32_t UBound(const ArrayParts &p, int32_t dimension) {
    if (dimension == -1) return p.shape->dimensions;
    if (dimension >= 1 && dimension <= p.shape->dimensions) return p.Bounds()[dimension - 1];
    ArrayRaiseOutOfBounds();
    return -1;
}

} // namespace arraystore
