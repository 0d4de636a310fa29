// The storage rules shared by every array operations table: index checks,
// growth on insertion, trimming on removal, resizing, destruction, sorting,
// shuffling and searching, written once over raw element bytes. The typed
// slot functions (ArrayTables.cc) are thin wrappers that add the element's
// C type and its locking.
#pragma once

#include "RuntimeArray.h"

#include <cstdarg>

// Source named by the array module's failed-check reports.
extern const char kArraySource[];

// How the elements of one table behave, for the byte-level rules.
struct ArrayElementKind {
    int32_t width;
    // Drops the reference held by the element at the address; null when
    // elements hold none.
    void (*unlock)(void *element);
    // Ascending order for sorting: < 0, 0, > 0; null when elements are not
    // sorted.
    int (*compare)(const void *a, const void *b);
    // Equality for index-of; null compares the bits.
    bool (*equal)(const void *element, const void *value);
};

// A slot function stored in an operations table. (A cast in place, so that
// the tables are constant data, filled before any code runs.)
#define KQ_ARRAY_SLOT(function) reinterpret_cast<ArrayFunction>(function)

// The fields of a plain or structure record that the rules work on.
struct ArrayParts {
    RuntimeArray *record;
    void **data;
    ArrayShape *shape;
    const ArrayElementKind *kind;
    int32_t width;

    int32_t *Bounds() const { return UpperBounds(shape); }
    char *Bytes() const { return static_cast<char *>(*data); }
    // Elements held: the product of (upper bound + 1) over the dimensions.
    int32_t Count() const;
};

ArrayParts PlainParts(RuntimeArray *a, const ArrayElementKind *kind);
ArrayParts StructureParts(RuntimeArray *a, const ArrayElementKind *kind);

// Raises OutOfBoundsException (through the class model).
void ArrayRaiseOutOfBounds();
// Raises OutOfMemoryException.
void ArrayRaiseOutOfMemory();

namespace arraystore {

// Linear element index for `count` indexes (count = dimensions), or -1 after
// raising OutOfBoundsException when one lies outside its dimension.
inline int32_t Checked(const ArrayParts &p, const int32_t *index, int32_t count) {
    const int32_t *bound = p.Bounds();
    int32_t at = 0, stride = 1;
    for (int32_t k = 0; k < count; ++k) {
        if (index[k] < 0 || index[k] > bound[k]) {
            ArrayRaiseOutOfBounds();
            return -1;
        }
        at += index[k] * stride;
        stride *= bound[k] + 1;
    }
    return at;
}

// Linear element index computed without the per-dimension checks; -1 (and no
// exception) when it would leave the elements, so that an unchecked access
// never reaches outside the buffer.
int32_t Unchecked(const ArrayParts &p, const int32_t *index, int32_t count);

inline int32_t Locate(const ArrayParts &p, bool checked, const int32_t *index, int32_t count) {
    return checked ? Checked(p, index, count) : Unchecked(p, index, count);
}

// The same for index arguments of a variadic slot: `first`, then one more
// from `rest` for each further dimension of the record.
int32_t Locate(const ArrayParts &p, bool checked, int32_t first, va_list rest);

// Whether the array has one dimension; reports "1 == array->dimensions" when
// not (the one-dimensional operations then do nothing).
bool OneDimensional(const ArrayParts &p);

// Opens a gap at `index` of a one-dimensional array (growing the buffer by
// the growth step when it is full) and raises the upper bound; the caller
// stores and locks the value. False, with nothing changed, after raising.
bool OpenGap(const ArrayParts &p, int32_t index);

// Removes element `index` of a one-dimensional array: unlocks it, trims the
// buffer to the remaining elements, lowers the upper bound.
void Remove(const ArrayParts &p, int32_t index);

// Resizes to new upper bounds (one per dimension): dropped elements are
// unlocked, kept ones stay at their indexes, new ones are zero. Bounds below
// -1 count as -1.
void Resize(const ArrayParts &p, const int32_t *newBounds);
// The same with bound arguments of a variadic slot (as Locate reads them).
void Resize(const ArrayParts &p, int32_t first, va_list rest);

// Unlocks every element and frees the buffer.
void DestroyContents(const ArrayParts &p);

// Upper bound of `dimension` (1-based); -1 gives the number of dimensions;
// anything else raises OutOfBoundsException and gives -1.
int32_t UBound(const ArrayParts &p, int32_t dimension);

// Slot 9: first index from `start` whose element equals the value at `value`.
int32_t IndexOf(const ArrayParts &p, const void *value, int32_t start);

// Slot 10.
void Shuffle(const ArrayParts &p);

// Slots 7 and 8: sorts ascending, then rearranges each companion of the
// null-terminated list (may be null) by the same permutation.
void Sort(const ArrayParts &p, va_list *companions);

} // namespace arraystore

// Whether `a` uses the table of the one-dimensional, two-dimensional or
// further-dimensional layout of a plain element type, the structure table or
// the cast-view table.
bool ArrayIsStructure(const RuntimeArray *a);
bool ArrayIsCastView(const RuntimeArray *a);
bool ArrayHoldsObjects(const RuntimeArray *a);

// The kind of an element type code (null for an unknown code).
const ArrayElementKind *ArrayKindFor(int32_t elementType);
// The kind of a plain array's table (null for other records).
const ArrayElementKind *ArrayKindOf(const RuntimeArray *a);

// The byte-level view of any plain or structure record; a cast view is
// resolved to the array it views. Null record gives a null record field.
ArrayParts ArrayPartsOf(RuntimeArray *a);
