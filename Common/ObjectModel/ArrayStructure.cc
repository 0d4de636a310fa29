// The operations table of structure arrays: one table for every shape, with
// the element size taken from the record. Elements are passed by address:
// a get returns the element's address in the array (null for a bad index),
// a set or an insertion copies the element from the given address.
// Structures hold no references and are not sorted (slots 7, 8, 12 and 13
// are empty); index of compares their bytes.
#include "ArrayStorage.h"

#include <cstring>

namespace {

const ArrayElementKind kStructureKind{0, nullptr, nullptr, nullptr};

ArrayParts Parts(RuntimeArray *a) {
    return StructureParts(a, &kStructureKind);
}

void *Address(const ArrayParts &p, int32_t at) {
    return at < 0 ? nullptr : p.Bytes() + size_t(at) * p.width;
}

void Store(const ArrayParts &p, int32_t at, const void *value) {
    if (at < 0) return;
    if (value != nullptr)
        std::memcpy(Address(p, at), value, size_t(p.width));
    else
        std::memset(Address(p, at), 0, size_t(p.width));
}

template <bool kChecked>
void *Get(RuntimeArray *a, int32_t first, ...) {
    ArrayParts p = Parts(a);
    va_list rest;
    va_start(rest, first);
    int32_t at = arraystore::Locate(p, kChecked, first, rest);
    va_end(rest);
    return Address(p, at);
}

template <bool kChecked>
void Set(RuntimeArray *a, const void *value, int32_t first, ...) {
    ArrayParts p = Parts(a);
    va_list rest;
    va_start(rest, first);
    int32_t at = arraystore::Locate(p, kChecked, first, rest);
    va_end(rest);
    Store(p, at, value);
}

void Resize(RuntimeArray *a, int32_t first, ...) {
    va_list rest;
    va_start(rest, first);
    arraystore::Resize(Parts(a), first, rest);
    va_end(rest);
}

void Insert(RuntimeArray *a, int32_t index, const void *value) {
    ArrayParts p = Parts(a);
    if (arraystore::OpenGap(p, index)) Store(p, index, value);
}

void Remove(RuntimeArray *a, int32_t index) {
    arraystore::Remove(Parts(a), index);
}

int32_t IndexOf(RuntimeArray *a, const void *value, int32_t start) {
    return value != nullptr ? arraystore::IndexOf(Parts(a), value, start) : -1;
}

void Shuffle(RuntimeArray *a) {
    arraystore::Shuffle(Parts(a));
}

int32_t UBound(RuntimeArray *a, int32_t dimension) {
    return arraystore::UBound(Parts(a), dimension);
}

void DestroyContents(RuntimeArray *a) {
    arraystore::DestroyContents(Parts(a));
}

int32_t ElementSize(RuntimeArray *a) {
    return reinterpret_cast<RuntimeStructureArray *>(a)->elementSize;
}

const RuntimeArrayOperations kStructureOperations = {{
    KQ_ARRAY_SLOT(&Get<true>),
    KQ_ARRAY_SLOT(&Set<true>),
    KQ_ARRAY_SLOT(&Get<false>),
    KQ_ARRAY_SLOT(&Set<false>),
    KQ_ARRAY_SLOT(&Resize),
    KQ_ARRAY_SLOT(&Insert),
    KQ_ARRAY_SLOT(&Remove),
    nullptr,
    nullptr,
    KQ_ARRAY_SLOT(&IndexOf),
    KQ_ARRAY_SLOT(&Shuffle),
    KQ_ARRAY_SLOT(&UBound),
    nullptr,
    nullptr,
    KQ_ARRAY_SLOT(&DestroyContents),
    KQ_ARRAY_SLOT(&ElementSize),
}};

} // namespace

const RuntimeArrayOperations *ArrayStructureOperations() {
    return &kStructureOperations;
}
