// Conversion and promotion rules (see Conversions.h).
#include "Conversions.h"

#include <cmath>
#include <limits>

namespace kqc {
namespace {

bool integerFits(int64_t v, const Type *to) {
    int bits = integerBits(to);
    if (isUnsigned(to)) return v >= 0 && (bits == 64 || v < (int64_t(1) << bits));
    if (bits == 64) return true;
    int64_t limit = int64_t(1) << (bits - 1);
    return v >= -limit && v < limit;
}

bool constantFits(const ConstValue &c, const Type *to) {
    if (c.kind == ConstValue::Kind::Integer && isInteger(to)) return integerFits(c.integer, to);
    if (c.kind == ConstValue::Kind::Real && to->kind == TypeKind::Single) {
        return !std::isfinite(c.real) || std::fabs(c.real) <= std::numeric_limits<float>::max();
    }
    if (c.kind == ConstValue::Kind::Real && to->kind == TypeKind::Currency) {
        return std::fabs(c.real) < 9.2e14;
    }
    return false;
}

// Lossless widening between two different integer types.
bool widens(const Type *from, const Type *to) {
    int fb = integerBits(from), tb = integerBits(to);
    if (isUnsigned(from) == isUnsigned(to)) return tb > fb;
    return isUnsigned(from) && tb > fb; // unsigned into a wider signed type
}

Convertibility numeric(const Type *from, const Type *to, const ConstValue *constant) {
    if (constant && constantFits(*constant, to)) return Convertibility::Implicit;
    if (isInteger(from)) {
        if (isInteger(to))
            return widens(from, to) ? Convertibility::Implicit : Convertibility::Explicit;
        return Convertibility::Implicit; // to Single, Double, Currency
    }
    if (from->kind == TypeKind::Single && to->kind == TypeKind::Double)
        return Convertibility::Implicit;
    if (from->kind == TypeKind::Currency && to->kind == TypeKind::Double)
        return Convertibility::Implicit;
    return Convertibility::Explicit;
}

} // namespace

Convertibility convertibility(const Type *from, const Type *to, const ConstValue *constant) {
    if (from == to) return Convertibility::Same;
    TypeKind f = from->kind, t = to->kind;
    if (f == TypeKind::Error || t == TypeKind::Error) return Convertibility::Implicit;
    if (f == TypeKind::Void || t == TypeKind::Void || t == TypeKind::Nil)
        return Convertibility::Never;
    // A Variant holds one value or object; arrays are no values of it.
    if (f == TypeKind::Array || t == TypeKind::Array) {
        if (f == TypeKind::Nil && t == TypeKind::Array) return Convertibility::Implicit;
        return Convertibility::Never;
    }
    if (t == TypeKind::Variant || f == TypeKind::Variant) return Convertibility::Implicit;
    if (f == TypeKind::Nil) {
        bool reference = t == TypeKind::Object || t == TypeKind::Array || t == TypeKind::Ptr ||
                         t == TypeKind::String;
        return reference ? Convertibility::Implicit : Convertibility::Never;
    }
    if (isNumeric(from) && isNumeric(to)) return numeric(from, to, constant);
    bool fromInt32 = f == TypeKind::Int32 || f == TypeKind::UInt32;
    bool toInt32 = t == TypeKind::Int32 || t == TypeKind::UInt32;
    if ((f == TypeKind::Color && toInt32) || (fromInt32 && t == TypeKind::Color))
        return Convertibility::Implicit;
    if ((f == TypeKind::Color && isInteger(to)) || (isInteger(from) && t == TypeKind::Color)) {
        return Convertibility::Explicit;
    }
    if ((f == TypeKind::Ptr && toInt32) || (fromInt32 && t == TypeKind::Ptr))
        return Convertibility::Explicit;
    if ((f == TypeKind::Boolean && isInteger(to)) || (isInteger(from) && t == TypeKind::Boolean)) {
        return Convertibility::Explicit;
    }
    if (f == TypeKind::Object && t == TypeKind::Object) {
        if (from->cls->isA(to->cls)) return Convertibility::Implicit;
        if (to->cls->isA(from->cls) || to->cls->isInterface || from->cls->isInterface) {
            return Convertibility::Explicit;
        }
    }
    return Convertibility::Never;
}

int conversionCost(const Type *from, const Type *to, const ConstValue *constant) {
    if (from == to) return 0;
    if (from->kind == TypeKind::Error || to->kind == TypeKind::Error) return 0;
    if (to->kind == TypeKind::Variant) return 6;
    if (from->kind == TypeKind::Variant) return 7;
    if (from->kind == TypeKind::Nil || from->kind == TypeKind::Object) return 1;
    if (isInteger(from) && isInteger(to)) {
        if (!widens(from, to)) return 5; // a constant that fits
        return integerBits(to) == 64 ? 2 : 1;
    }
    if (isInteger(from) && to->kind == TypeKind::Double) return 3;
    if (isInteger(from)) return 4; // Single, Currency
    if (constant && constantFits(*constant, to)) return 5;
    return 2;
}

const Type *arithmeticType(TypeTable &types, const Type *a, const Type *b) {
    if (a->kind == TypeKind::Error || b->kind == TypeKind::Error) return types.error();
    if (a->kind == TypeKind::Variant || b->kind == TypeKind::Variant)
        return types.get(TypeKind::Variant);
    if (!isNumeric(a) || !isNumeric(b)) return nullptr;
    auto either = [&](TypeKind k) { return a->kind == k || b->kind == k; };
    if (either(TypeKind::Double)) return types.get(TypeKind::Double);
    if (either(TypeKind::Single))
        return types.get(either(TypeKind::Currency) ? TypeKind::Double : TypeKind::Single);
    if (either(TypeKind::Currency)) return types.get(TypeKind::Currency);
    bool bothUnsigned = isUnsigned(a) && isUnsigned(b);
    if (integerBits(a) == 64 || integerBits(b) == 64) {
        return types.get(bothUnsigned ? TypeKind::UInt64 : TypeKind::Int64);
    }
    bool uint32 = a->kind == TypeKind::UInt32 || b->kind == TypeKind::UInt32;
    if (uint32)
        return types.get(bothUnsigned ? TypeKind::UInt32 : TypeKind::Int64); // no value lost
    return types.get(TypeKind::Int32);
}

} // namespace kqc
