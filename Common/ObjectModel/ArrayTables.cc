// The operations tables of plain arrays: one per element type code and shape
// (one dimension, two, more), all generated from the element descriptions of
// KQ_ARRAY_ELEMENTS below. Each slot function adds the element's C type and
// its locking to the byte-level rules of ArrayStorage.
#include "ArrayStorage.h"
#include "RuntimeObject.h"

#include "KESTstring.h"

#include <cstring>
#include <type_traits>

namespace {

// --- Element descriptions ---------------------------------------------------

// Numbers: ascending numeric order; NaN sorts after every other value so that
// the order stays strict and total.
template <typename T>
int CompareNumbers(const void *a, const void *b) {
    T x, y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    if constexpr (std::is_floating_point<T>::value) {
        bool xNaN = x != x, yNaN = y != y;
        if (xNaN || yNaN) return int(xNaN) - int(yNaN);
    }
    return x < y ? -1 : (y < x ? 1 : 0);
}

template <typename T>
struct NumberElement {
    using Value = T;
    static constexpr bool kSortable = true;
    static void Lock(T) {}
    static void Unlock(T) {}
    static constexpr ArrayElementKind kKind{sizeof(T), nullptr, &CompareNumbers<T>, nullptr};
};

KESTstring *StringAt(const void *element) {
    KESTstring *s;
    std::memcpy(&s, element, sizeof s);
    return s;
}
int CompareStrings(const void *a, const void *b) {
    return kstr::CompareFold(StringAt(a), StringAt(b));
}
bool EqualStrings(const void *element, const void *value) {
    return CompareStrings(element, value) == 0;
}
void UnlockStringAt(void *element) {
    RuntimeUnlockString(StringAt(element));
}

struct StringElement {
    using Value = KESTstring *;
    static constexpr bool kSortable = true;
    static void Lock(KESTstring *s) { RuntimeLockString(s); }
    static void Unlock(KESTstring *s) { RuntimeUnlockString(s); }
    static constexpr ArrayElementKind kKind{4, &UnlockStringAt, &CompareStrings, &EqualStrings};
};

void UnlockObjectAt(void *element) {
    RuntimeObject *object;
    std::memcpy(&object, element, sizeof object);
    RuntimeUnlockObject(object);
}

// Objects compare by identity and are not sorted.
struct ObjectElement {
    using Value = RuntimeObject *;
    static constexpr bool kSortable = false;
    static void Lock(RuntimeObject *o) { RuntimeLockObject(o); }
    static void Unlock(RuntimeObject *o) { RuntimeUnlockObject(o); }
    static constexpr ArrayElementKind kKind{4, &UnlockObjectAt, nullptr, nullptr};
};

// The element type codes in code order, with their descriptions.
#define KQ_ARRAY_ELEMENTS(X)                                                                       \
    X(kArrayInt32, NumberElement<int32_t>)                                                         \
    X(kArraySingle, NumberElement<float>)                                                          \
    X(kArrayDouble, NumberElement<double>)                                                         \
    X(kArrayString, StringElement)                                                                 \
    X(kArrayObject, ObjectElement)                                                                 \
    X(kArrayInt8, NumberElement<int8_t>)                                                           \
    X(kArrayUInt8, NumberElement<uint8_t>)                                                         \
    X(kArrayInt16, NumberElement<int16_t>)                                                         \
    X(kArrayUInt16, NumberElement<uint16_t>)                                                       \
    X(kArrayUInt32, NumberElement<uint32_t>)                                                       \
    X(kArrayInt64, NumberElement<int64_t>)                                                         \
    X(kArrayUInt64, NumberElement<uint64_t>)

// --- Typed element access -----------------------------------------------------

template <typename E>
struct Elements {
    using T = typename E::Value;

    static ArrayParts Parts(RuntimeArray *a) { return PlainParts(a, &E::kKind); }

    // The element at linear index `at` with a reference added; T() for -1.
    static T Read(const ArrayParts &p, int32_t at) {
        if (at < 0) return T();
        T value;
        std::memcpy(&value, p.Bytes() + size_t(at) * sizeof(T), sizeof(T));
        E::Lock(value);
        return value;
    }

    // Assignment: lock the new value, store it, then unlock the old one.
    static void Write(const ArrayParts &p, int32_t at, T value) {
        if (at < 0) return;
        char *slot = p.Bytes() + size_t(at) * sizeof(T);
        T old;
        std::memcpy(&old, slot, sizeof(T));
        E::Lock(value);
        std::memcpy(slot, &value, sizeof(T));
        E::Unlock(old);
    }

    // Appending into spare room is the common case and stays inline; every
    // other insertion goes through the general rule.
    static void Insert(RuntimeArray *a, int32_t index, T value) {
        int32_t *bound = UpperBounds(&a->shape);
        bool append = a->shape.dimensions == 1 && index == bound[0] + 1 &&
                      int64_t(index + 1) * int64_t(sizeof(T)) <= a->shape.bufferLength;
        if (!append && !arraystore::OpenGap(Parts(a), index)) return;
        E::Lock(value);
        std::memcpy(static_cast<char *>(a->data) + size_t(index) * sizeof(T), &value, sizeof(T));
        if (append) bound[0] = index;
    }
    static void Remove(RuntimeArray *a, int32_t index) { arraystore::Remove(Parts(a), index); }
    static void Sort(RuntimeArray *a) { arraystore::Sort(Parts(a), nullptr); }
    static void SortWith(RuntimeArray *a, ...) {
        va_list companions;
        va_start(companions, a);
        arraystore::Sort(Parts(a), &companions);
        va_end(companions);
    }
    static int32_t IndexOf(RuntimeArray *a, T value, int32_t start) {
        return arraystore::IndexOf(Parts(a), &value, start);
    }
    static void Shuffle(RuntimeArray *a) { arraystore::Shuffle(Parts(a)); }
    static int32_t UBound(RuntimeArray *a, int32_t dimension) {
        return arraystore::UBound(Parts(a), dimension);
    }
    static void LockValue(RuntimeArray *, T value) { E::Lock(value); }
    static void UnlockValue(RuntimeArray *, T value) { E::Unlock(value); }
    static void DestroyContents(RuntimeArray *a) { arraystore::DestroyContents(Parts(a)); }
    static int32_t ElementSize(RuntimeArray *) { return sizeof(T); }
};

// --- Shapes: how the index arguments arrive -----------------------------------

// Checked and unchecked access differ only in the index rule, so each
// accessor is written once as a template on `kChecked`.

template <typename E>
struct OneDimension : Elements<E> {
    using Base = Elements<E>;
    using T = typename Base::T;
    static constexpr bool kOneDimension = true;

    template <bool kChecked>
    static T Get(RuntimeArray *a, int32_t i) {
        ArrayParts p = Base::Parts(a);
        return Base::Read(p, arraystore::Locate(p, kChecked, &i, 1));
    }
    template <bool kChecked>
    static void Set(RuntimeArray *a, T value, int32_t i) {
        ArrayParts p = Base::Parts(a);
        Base::Write(p, arraystore::Locate(p, kChecked, &i, 1), value);
    }
    static void Resize(RuntimeArray *a, int32_t bound) {
        arraystore::Resize(Base::Parts(a), &bound);
    }
};

template <typename E>
struct TwoDimensions : Elements<E> {
    using Base = Elements<E>;
    using T = typename Base::T;
    static constexpr bool kOneDimension = false;

    template <bool kChecked>
    static T Get(RuntimeArray *a, int32_t i, int32_t j) {
        ArrayParts p = Base::Parts(a);
        int32_t index[2] = {i, j};
        return Base::Read(p, arraystore::Locate(p, kChecked, index, 2));
    }
    template <bool kChecked>
    static void Set(RuntimeArray *a, T value, int32_t i, int32_t j) {
        ArrayParts p = Base::Parts(a);
        int32_t index[2] = {i, j};
        Base::Write(p, arraystore::Locate(p, kChecked, index, 2), value);
    }
    static void Resize(RuntimeArray *a, int32_t u1, int32_t u2) {
        int32_t bounds[2] = {u1, u2};
        arraystore::Resize(Base::Parts(a), bounds);
    }
};

// Three or more dimensions: as many index arguments as the record has
// dimensions.
template <typename E>
struct MoreDimensions : Elements<E> {
    using Base = Elements<E>;
    using T = typename Base::T;
    static constexpr bool kOneDimension = false;

    template <bool kChecked>
    static T Get(RuntimeArray *a, int32_t first, ...) {
        ArrayParts p = Base::Parts(a);
        va_list rest;
        va_start(rest, first);
        int32_t at = arraystore::Locate(p, kChecked, first, rest);
        va_end(rest);
        return Base::Read(p, at);
    }
    template <bool kChecked>
    static void Set(RuntimeArray *a, T value, int32_t first, ...) {
        ArrayParts p = Base::Parts(a);
        va_list rest;
        va_start(rest, first);
        int32_t at = arraystore::Locate(p, kChecked, first, rest);
        va_end(rest);
        Base::Write(p, at, value);
    }
    static void Resize(RuntimeArray *a, int32_t first, ...) {
        va_list rest;
        va_start(rest, first);
        arraystore::Resize(Base::Parts(a), first, rest);
        va_end(rest);
    }
};

// --- Tables -----------------------------------------------------------------

// Slots 5 to 9 exist for one dimension only; counted elements have slots 12
// and 13; objects are not sorted (slots 7 and 8).
template <typename E, template <typename> class Shape>
struct Table {
    using S = Shape<E>;
    static constexpr bool kOne = S::kOneDimension;
    static constexpr bool kCounted = !std::is_arithmetic<typename E::Value>::value;
    static const RuntimeArrayOperations kOperations;
};

template <typename E, template <typename> class Shape>
const RuntimeArrayOperations Table<E, Shape>::kOperations = {{
    KQ_ARRAY_SLOT(&S::template Get<true>),
    KQ_ARRAY_SLOT(&S::template Set<true>),
    KQ_ARRAY_SLOT(&S::template Get<false>),
    KQ_ARRAY_SLOT(&S::template Set<false>),
    KQ_ARRAY_SLOT(&S::Resize),
    kOne ? KQ_ARRAY_SLOT(&S::Insert) : nullptr,
    kOne ? KQ_ARRAY_SLOT(&S::Remove) : nullptr,
    kOne &&E::kSortable ? KQ_ARRAY_SLOT(&S::Sort) : nullptr,
    kOne &&E::kSortable ? KQ_ARRAY_SLOT(&S::SortWith) : nullptr,
    kOne ? KQ_ARRAY_SLOT(&S::IndexOf) : nullptr,
    KQ_ARRAY_SLOT(&S::Shuffle),
    KQ_ARRAY_SLOT(&S::UBound),
    kCounted ? KQ_ARRAY_SLOT(&S::LockValue) : nullptr,
    kCounted ? KQ_ARRAY_SLOT(&S::UnlockValue) : nullptr,
    KQ_ARRAY_SLOT(&S::DestroyContents),
    KQ_ARRAY_SLOT(&S::ElementSize),
}};

struct TableRow {
    int32_t code;
    const ArrayElementKind *kind;
    const RuntimeArrayOperations *shape[3]; // one, two, more dimensions
};

#define KQ_ARRAY_TABLE_ROW(code, E)                                                                \
    {code,                                                                                         \
     &E::kKind,                                                                                    \
     {&Table<E, OneDimension>::kOperations, &Table<E, TwoDimensions>::kOperations,                 \
      &Table<E, MoreDimensions>::kOperations}},

const TableRow kRows[kArrayElementTypeCount] = {KQ_ARRAY_ELEMENTS(KQ_ARRAY_TABLE_ROW)};

const TableRow *RowOf(const RuntimeArray *a) {
    if (a == nullptr) return nullptr;
    for (const TableRow &row : kRows)
        for (const RuntimeArrayOperations *table : row.shape)
            if (a->operations == table) return &row;
    return nullptr;
}

} // namespace

const RuntimeArrayOperations *ArrayOperationsFor(int32_t elementType, int32_t dimensions) {
    if (elementType < 0 || elementType >= kArrayElementTypeCount || dimensions < 1) return nullptr;
    const TableRow &row = kRows[elementType];
    return row.code == elementType ? row.shape[dimensions > 3 ? 2 : dimensions - 1] : nullptr;
}

const ArrayElementKind *ArrayKindFor(int32_t elementType) {
    if (elementType < 0 || elementType >= kArrayElementTypeCount) return nullptr;
    return kRows[elementType].kind;
}

const ArrayElementKind *ArrayKindOf(const RuntimeArray *a) {
    const TableRow *row = RowOf(a);
    return row != nullptr ? row->kind : nullptr;
}

bool ArrayHoldsObjects(const RuntimeArray *a) {
    const TableRow *row = RowOf(a);
    return row != nullptr && row->code == kArrayObject;
}
