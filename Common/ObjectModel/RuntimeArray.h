// Arrays of the language: reference-counted records of their own (not objects
// of the class model). Each record points to a sixteen-slot operations table
// chosen by its element type and its number of dimensions; compiled code
// reads, writes, resizes, inserts, removes, sorts and searches by calling
// through that table, so the slot order is part of the image interface.
//
// Plain array record (CreateArray):
//   offset  field        meaning
//   0       refCount     holders; 1 at creation
//   4       operations   the table for (element type, dimensions)
//   8       data         the elements, contiguous; null when there are none
//   12      dimensions   number of dimensions
//   16      bufferLength bytes allocated at data
//   20      growthStep   elements added when an insertion needs room
//   24...   upper bounds one signed word per dimension, in dimension order
//
// Structure array record (RuntimeCreateStructureArray): the same with the
// element size in bytes at 12, so that dimensions, bufferLength, growthStep
// and the upper bounds sit one word further (16, 20, 24, 28...).
//
// Cast view record (RuntimeCreateArrayCastWrapper), five words: refCount,
// operations (the cast-view table), data (the viewed array's data), the
// viewed object array, the class its elements are cast to on access.
//
// Element (i1, i2, ... in) lies at i1 + i2 * (u1 + 1) + i3 * (u1 + 1) *
// (u2 + 1) + ...: the first index varies fastest. Indexes are 0-based; an
// empty one-dimensional array has the upper bound -1.
#pragma once

#include <cstddef>
#include <cstdint>

struct KESTstring;
struct RuntimeObject;
struct RuntimeClass;

// Element type codes of CreateArray. The code fixes the width and how
// elements compare when sorting; the compiler maps each language type onto
// the code with its width and order.
enum ArrayElementType : int32_t {
    kArrayInt32 = 0,   // Integer, Int32
    kArraySingle = 1,  // Single
    kArrayDouble = 2,  // Double
    kArrayString = 3,  // String: elements are locked and unlocked
    kArrayObject = 4,  // objects and Variant: elements are locked and unlocked
    kArrayInt8 = 5,    // Int8
    kArrayUInt8 = 6,   // UInt8, Boolean
    kArrayInt16 = 7,   // Int16
    kArrayUInt16 = 8,  // UInt16
    kArrayUInt32 = 9,  // UInt32, Color, Ptr
    kArrayInt64 = 10,  // Int64, Currency
    kArrayUInt64 = 11, // UInt64
};
constexpr int32_t kArrayElementTypeCount = 12;

// The most dimensions an array may have.
constexpr int32_t kArrayMaxDimensions = 32;

// Slots of an operations table. Every slot function takes the array first.
// Index arguments follow in dimension order; element values are passed and
// returned in their own C type (Single and Double in st(0) when returned,
// 64-bit values in edx:eax). Structure arrays pass elements by address.
enum ArraySlot : int32_t {
    kArrayGet = 0,              // (a, indexes) -> element; counted ones with a reference added
    kArraySet = 1,              // (a, value, indexes): new value locked, old one unlocked
    kArrayGetUnchecked = 2,     // (a, indexes) -> element
    kArraySetUnchecked = 3,     // (a, value, indexes)
    kArrayResize = 4,           // (a, new upper bound of each dimension)
    kArrayInsert = 5,           // (a, index, value); one dimension only
    kArrayRemove = 6,           // (a, index); one dimension only
    kArraySort = 7,             // (a); one dimension only
    kArraySortWith = 8,         // (a, companion arrays..., null); one dimension only
    kArrayIndexOf = 9,          // (a, value, start) -> index or -1; one dimension only
    kArrayShuffle = 10,         // (a)
    kArrayUBound = 11,          // (a, dimension) -> upper bound; -1 asks for the dimensions
    kArrayLockValue = 12,       // (a, value); null for elements without references
    kArrayUnlockValue = 13,     // (a, value); null for elements without references
    kArrayDestroyContents = 14, // (a)
    kArrayElementSize = 15,     // (a) -> width in bytes
    kArraySlotCount = 16,
};

using ArrayFunction = void (*)();

struct RuntimeArrayOperations {
    ArrayFunction slot[kArraySlotCount];
};
static_assert(sizeof(RuntimeArrayOperations) == 64, "operations table: sixteen words");

// The size fields shared by plain and structure records; the upper bounds
// follow directly.
struct ArrayShape {
    int32_t dimensions;
    int32_t bufferLength;
    int32_t growthStep;
};
inline int32_t *UpperBounds(ArrayShape *shape) {
    return reinterpret_cast<int32_t *>(shape + 1);
}
inline const int32_t *UpperBounds(const ArrayShape *shape) {
    return reinterpret_cast<const int32_t *>(shape + 1);
}

struct RuntimeArray {
    int32_t refCount;
    const RuntimeArrayOperations *operations;
    void *data;
    ArrayShape shape;
};
static_assert(offsetof(RuntimeArray, refCount) == 0, "RuntimeArray.refCount");
static_assert(offsetof(RuntimeArray, operations) == 4, "RuntimeArray.operations");
static_assert(offsetof(RuntimeArray, data) == 8, "RuntimeArray.data");
static_assert(offsetof(RuntimeArray, shape.dimensions) == 12, "RuntimeArray.dimensions");
static_assert(offsetof(RuntimeArray, shape.bufferLength) == 16, "RuntimeArray.bufferLength");
static_assert(offsetof(RuntimeArray, shape.growthStep) == 20, "RuntimeArray.growthStep");
static_assert(sizeof(RuntimeArray) == 24, "RuntimeArray: upper bounds start at 24");

struct RuntimeStructureArray {
    int32_t refCount;
    const RuntimeArrayOperations *operations;
    void *data;
    int32_t elementSize;
    ArrayShape shape;
};
static_assert(offsetof(RuntimeStructureArray, data) == 8, "RuntimeStructureArray.data");
static_assert(offsetof(RuntimeStructureArray, elementSize) == 12,
              "RuntimeStructureArray.elementSize");
static_assert(offsetof(RuntimeStructureArray, shape.dimensions) == 16,
              "RuntimeStructureArray.dimensions");
static_assert(offsetof(RuntimeStructureArray, shape.bufferLength) == 20,
              "RuntimeStructureArray.bufferLength");
static_assert(offsetof(RuntimeStructureArray, shape.growthStep) == 24,
              "RuntimeStructureArray.growthStep");
static_assert(sizeof(RuntimeStructureArray) == 28, "RuntimeStructureArray: bounds start at 28");

struct RuntimeArrayCastView {
    int32_t refCount;
    const RuntimeArrayOperations *operations;
    void *data;
    RuntimeArray *target;
    RuntimeClass *elementClass;
};
static_assert(offsetof(RuntimeArrayCastView, data) == 8, "RuntimeArrayCastView.data");
static_assert(offsetof(RuntimeArrayCastView, target) == 12, "RuntimeArrayCastView.target");
static_assert(offsetof(RuntimeArrayCastView, elementClass) == 16,
              "RuntimeArrayCastView.elementClass");
static_assert(sizeof(RuntimeArrayCastView) == 20, "RuntimeArrayCastView: five words");

// Growth step of a new array and after every resize or removal, and the step
// beyond which insertions stop doubling it.
constexpr int32_t kArrayInitialGrowthStep = 16;
constexpr int32_t kArrayGrowthStepLimit = 0x20000;

extern "C" {
RuntimeArray *CreateArray(int32_t dimensions, int32_t elementType, ...);
RuntimeArray *RuntimeCreateStructureArray(int32_t dimensions, int32_t elementSize, ...);
void RuntimeLockArray(RuntimeArray *a);
void RuntimeUnlockArray(RuntimeArray *a);
void RuntimeLockUnlockArrays(RuntimeArray *newArray, RuntimeArray *oldArray);
int32_t RuntimeUBound(RuntimeArray *a);
int32_t RuntimeUBound2Param(RuntimeArray *a, int32_t dimension);
RuntimeArray *RuntimeCreateArrayCastWrapper(RuntimeArray *a, RuntimeClass *elementClass);

// Generic accessors of an array field at `offset` in an object.
RuntimeArray *arrayGetter(RuntimeObject *object, int32_t offset);
void arraySetter(RuntimeObject *object, int32_t offset, RuntimeArray *value);
}

// The hook called with the address of every array record just released
// (the remote debugger connection's); null removes it.
using ArrayReleaseHook = void (*)(uintptr_t releasedAddress);
void RuntimeSetArrayReleaseHook(ArrayReleaseHook hook);

// The table for an element type code and a number of dimensions; null for an
// unknown code or fewer than one dimension.
const RuntimeArrayOperations *ArrayOperationsFor(int32_t elementType, int32_t dimensions);
const RuntimeArrayOperations *ArrayStructureOperations();
const RuntimeArrayOperations *ArrayCastViewOperations();

// Helpers for the runtime's own C++ code (string split and join, exception
// stacks, dictionary keys). Values go through the array's own table, so
// counted elements are locked and unlocked as in compiled code.
namespace karray {

// A new one-dimensional array of `elementType` (one reference for the
// caller); null after a report or exception.
RuntimeArray *Create(int32_t elementType, int32_t upperBound);

// Upper bound of the first dimension; -1 for nil.
int32_t UBound(const RuntimeArray *a);

// Slot 4 with one bound: keeps the leading elements, unlocks dropped ones.
void Resize(RuntimeArray *a, int32_t upperBound);

// Calls slot `slot` of `a` with the C signature `Signature`. A missing slot
// is the failed check "fp" and gives null.
ArrayFunction SlotOf(const RuntimeArray *a, int32_t slot);
template <typename Signature>
Signature Slot(const RuntimeArray *a, int32_t slot) {
    return reinterpret_cast<Signature>(SlotOf(a, slot));
}

// Appends through slot 5 (the value is locked by the array).
template <typename T>
void Append(RuntimeArray *a, T value) {
    if (auto insert = Slot<void (*)(RuntimeArray *, int32_t, T)>(a, kArrayInsert))
        insert(a, UBound(a) + 1, value);
}

// Address of element `index` of a one-dimensional array (the viewed array's
// for a cast view); null when the index is out of range (no exception).
const void *ElementAddress(const RuntimeArray *a, int32_t index);

// Element `index` of a one-dimensional array without adding a reference;
// T() when the index is out of range.
template <typename T>
T At(const RuntimeArray *a, int32_t index) {
    const void *at = ElementAddress(a, index);
    return at != nullptr ? *static_cast<const T *>(at) : T();
}

} // namespace karray
