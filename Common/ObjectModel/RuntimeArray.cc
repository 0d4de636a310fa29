// Array records: creation, reference counting, upper-bound queries and the
// release hook, plus the helpers the runtime's own code uses on arrays.
#include "RuntimeArray.h"
#include "ArrayStorage.h"
#include "RuntimeException.h"

#include "RuntimeErrorReport.h"

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

ArrayReleaseHook gReleaseHook = nullptr;

// Allocates a record of `header` bytes plus the upper bounds, and its
// elements cleared to zero. Bounds below -1 are taken as -1. Null after a
// report (no record) or an exception (no room for the elements).
RuntimeArray *NewRecord(size_t header, const RuntimeArrayOperations *operations, int32_t dimensions,
                        int32_t width, va_list bounds) {
    auto *record = static_cast<char *>(std::calloc(1, header + sizeof(int32_t) * dimensions));
    KQ_ASSERT_TEXT(kArraySource, record != nullptr, "array", nullptr);
    if (record == nullptr) return nullptr;
    auto *a = reinterpret_cast<RuntimeArray *>(record);
    auto *shape = reinterpret_cast<ArrayShape *>(record + header - sizeof(ArrayShape));
    a->refCount = 1;
    a->operations = operations;
    shape->dimensions = dimensions;
    shape->growthStep = kArrayInitialGrowthStep;
    int64_t count = 1;
    for (int32_t k = 0; k < dimensions; ++k) {
        int32_t bound = va_arg(bounds, int32_t);
        UpperBounds(shape)[k] = bound < -1 ? -1 : bound;
        count *= int64_t(UpperBounds(shape)[k]) + 1;
        if (count > INT32_MAX) count = INT32_MAX + int64_t(1);
    }
    int64_t bytes = count * width;
    if (bytes >= 1) {
        void *data = bytes <= INT32_MAX ? std::calloc(size_t(bytes), 1) : nullptr;
        if (data == nullptr) {
            std::free(record);
            ArrayRaiseOutOfMemory();
            return nullptr;
        }
        a->data = data;
        shape->bufferLength = int32_t(bytes);
    }
    return a;
}

// Frees a record whose contents are gone, then tells the release hook which
// address went away (only the number: the hook never reads the record). The
// compiler takes that number for a use of the freed pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
void FreeRecord(RuntimeArray *a) {
    auto address = reinterpret_cast<uintptr_t>(a);
    std::free(a);
    if (gReleaseHook != nullptr) gReleaseHook(address);
}
#pragma GCC diagnostic pop

bool CheckDimensions(int32_t dimensions) {
    bool fine = dimensions >= 1 && dimensions <= kArrayMaxDimensions;
    KQ_ASSERT_TEXT(kArraySource, fine, "dimensions >= 1 && dimensions <= kArrayMaxDimensions",
                   nullptr);
    return fine;
}

} // namespace

extern "C" RuntimeArray *CreateArray(int32_t dimensions, int32_t elementType, ...) {
    const RuntimeArrayOperations *operations = ArrayOperationsFor(elementType, 1);
    if (operations == nullptr) {
        KQ_ASSERT_TEXT(kArraySource, false, "0", nullptr);
        return nullptr;
    }
    if (!CheckDimensions(dimensions)) return nullptr;
    operations = ArrayOperationsFor(elementType, dimensions);
    int32_t width = ArrayKindFor(elementType)->width;
    va_list bounds;
    va_start(bounds, elementType);
    RuntimeArray *a = NewRecord(sizeof(RuntimeArray), operations, dimensions, width, bounds);
    va_end(bounds);
    return a;
}

extern "C" RuntimeArray *RuntimeCreateStructureArray(int32_t dimensions, int32_t elementSize, ...) {
    KQ_ASSERT_TEXT(kArraySource, elementSize > 0, "elementSize > 0", nullptr);
    if (elementSize <= 0 || !CheckDimensions(dimensions)) return nullptr;
    va_list bounds;
    va_start(bounds, elementSize);
    RuntimeArray *a = NewRecord(sizeof(RuntimeStructureArray), ArrayStructureOperations(),
                                dimensions, elementSize, bounds);
    va_end(bounds);
    if (a != nullptr) reinterpret_cast<RuntimeStructureArray *>(a)->elementSize = elementSize;
    return a;
}

extern "C" void RuntimeLockArray(RuntimeArray *a) {
    if (a != nullptr) ++a->refCount;
}

extern "C" void RuntimeUnlockArray(RuntimeArray *a) {
    if (a == nullptr || --a->refCount != 0) return;
    if (auto destroy = karray::Slot<void (*)(RuntimeArray *)>(a, kArrayDestroyContents)) destroy(a);
    FreeRecord(a);
}

extern "C" void RuntimeLockUnlockArrays(RuntimeArray *newArray, RuntimeArray *oldArray) {
    if (newArray == oldArray) return;
    RuntimeLockArray(newArray);
    RuntimeUnlockArray(oldArray);
}

extern "C" int32_t RuntimeUBound(RuntimeArray *a) {
    if (a == nullptr) {
        RaiseNilObjectException();
        return 0;
    }
    auto ubound = karray::Slot<int32_t (*)(RuntimeArray *, int32_t)>(a, kArrayUBound);
    return ubound != nullptr ? ubound(a, 1) : 0;
}

extern "C" int32_t RuntimeUBound2Param(RuntimeArray *a, int32_t dimension) {
    if (a == nullptr) {
        RaiseNilObjectException();
        return -1;
    }
    auto ubound = karray::Slot<int32_t (*)(RuntimeArray *, int32_t)>(a, kArrayUBound);
    return ubound != nullptr ? ubound(a, dimension) : -1;
}

// The generic accessors of array fields: the field at `offset` bytes from the
// object's start. The getter hands out a new reference; the setter locks the
// new array before it unlocks the old one.
extern "C" RuntimeArray *arrayGetter(RuntimeObject *object, int32_t offset) {
    if (object == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    RuntimeArray *value;
    std::memcpy(&value, reinterpret_cast<char *>(object) + offset, sizeof value);
    RuntimeLockArray(value);
    return value;
}

extern "C" void arraySetter(RuntimeObject *object, int32_t offset, RuntimeArray *value) {
    if (object == nullptr) {
        RaiseNilObjectException();
        return;
    }
    char *field = reinterpret_cast<char *>(object) + offset;
    RuntimeArray *old;
    std::memcpy(&old, field, sizeof old);
    RuntimeLockArray(value);
    std::memcpy(field, &value, sizeof value);
    RuntimeUnlockArray(old);
}

void RuntimeSetArrayReleaseHook(ArrayReleaseHook hook) {
    gReleaseHook = hook;
}

bool ArrayIsStructure(const RuntimeArray *a) {
    return a != nullptr && a->operations == ArrayStructureOperations();
}

bool ArrayIsCastView(const RuntimeArray *a) {
    return a != nullptr && a->operations == ArrayCastViewOperations();
}

ArrayParts ArrayPartsOf(RuntimeArray *a) {
    if (ArrayIsCastView(a)) a = reinterpret_cast<RuntimeArrayCastView *>(a)->target;
    static const ArrayElementKind kStructureKind{0, nullptr, nullptr, nullptr};
    if (ArrayIsStructure(a)) return StructureParts(a, &kStructureKind);
    const ArrayElementKind *kind = ArrayKindOf(a);
    if (kind != nullptr) return PlainParts(a, kind);
    return ArrayParts{nullptr, nullptr, nullptr, nullptr, 0};
}

namespace karray {

ArrayFunction SlotOf(const RuntimeArray *a, int32_t slot) {
    KQ_ASSERT_TEXT(kArraySource, a != nullptr, "array", nullptr);
    if (a == nullptr) return nullptr;
    ArrayFunction fp = a->operations != nullptr && slot >= 0 && slot < kArraySlotCount
                           ? a->operations->slot[slot]
                           : nullptr;
    KQ_ASSERT(kArraySource, fp);
    return fp;
}

RuntimeArray *Create(int32_t elementType, int32_t upperBound) {
    return CreateArray(1, elementType, upperBound);
}

int32_t UBound(const RuntimeArray *a) {
    if (a == nullptr) return -1;
    auto ubound = Slot<int32_t (*)(const RuntimeArray *, int32_t)>(a, kArrayUBound);
    return ubound != nullptr ? ubound(a, 1) : -1;
}

void Resize(RuntimeArray *a, int32_t upperBound) {
    if (a == nullptr) return;
    if (auto resize = Slot<void (*)(RuntimeArray *, int32_t)>(a, kArrayResize))
        resize(a, upperBound);
}

const void *ElementAddress(const RuntimeArray *a, int32_t index) {
    ArrayParts p = ArrayPartsOf(const_cast<RuntimeArray *>(a));
    if (p.record == nullptr || p.shape->dimensions != 1 || *p.data == nullptr || index < 0 ||
        index > p.Bounds()[0])
        return nullptr;
    return p.Bytes() + size_t(index) * p.width;
}

} // namespace karray
