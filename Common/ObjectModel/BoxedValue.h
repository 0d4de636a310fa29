// A value read out of a boxing object, and the conversion rules between the
// boxed types (listed in Variant.h). The conversion functions of the boxing
// classes, the variant entry points and variant arithmetic all convert
// through here.
#pragma once

#include "Variant.h"

#include <type_traits>

namespace variants {

// A boxed value in the widest form of its family: `i` for the signed kinds
// (Int32, Int64, Boolean as 0 or 1, Color, Currency in ten-thousandths), `u`
// for the unsigned ones, `d` for Single and Double, `s` (borrowed) for
// String.
struct Scalar {
    Kind kind = Kind::Int32;
    int64_t i = 0;
    uint64_t u = 0;
    double d = 0;
    KESTstring *s = nullptr;
};

// The value of a boxing object of `kind`.
Scalar Read(const RuntimeObject *boxed, Kind kind);

// Scalars made from plain values.
Scalar FromSigned(Kind kind, int64_t value);
Scalar FromUnsigned(Kind kind, uint64_t value);
Scalar FromFloating(Kind kind, double value);

// The scalar of a value of the C type that the boxing class of `kind` holds.
template <typename T>
Scalar Of(Kind kind, T value) {
    if constexpr (std::is_same<T, KESTstring *>::value) {
        Scalar v;
        v.kind = kind;
        v.s = value;
        return v;
    } else if constexpr (std::is_floating_point<T>::value) {
        return FromFloating(kind, value);
    } else if constexpr (std::is_signed<T>::value || std::is_same<T, bool>::value) {
        return FromSigned(kind, int64_t(value));
    } else {
        // Colour values belong to the signed family, the unsigned types not.
        return kind == Kind::Color ? FromSigned(kind, int64_t(value))
                                   : FromUnsigned(kind, uint64_t(value));
    }
}

int32_t ToInt32(const Scalar &v);
uint32_t ToUInt32(const Scalar &v);
int64_t ToInt64(const Scalar &v);
uint64_t ToUInt64(const Scalar &v);
float ToSingle(const Scalar &v);
double ToDouble(const Scalar &v);
bool ToBoolean(const Scalar &v);
uint32_t ToColor(const Scalar &v);
int64_t ToCurrency(const Scalar &v);
// A new reference (null for the empty text).
KESTstring *ToString(const Scalar &v);

// The hash of the value as its boxing class computes it: a 4-byte value is
// its word rotated left by 16 bits; an 8-byte value its first word rotated
// left by 16 bits XOR its second word; text h = h * 31 + byte over its bytes
// with "a" to "z" folded to upper case (bytes taken as signed).
int32_t Hash(const Scalar &v);

// A new boxing object holding `v` in the class of `kind` (one reference for
// the caller); null after an exception.
RuntimeObject *Box(Kind kind, const Scalar &v);

} // namespace variants
