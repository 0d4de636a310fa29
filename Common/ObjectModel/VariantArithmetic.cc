// Arithmetic and logic on variants. Both operands are brought to a common
// numeric type, the widest of the two in the order Int32, UInt32, Int64,
// UInt64, Currency, Single, Double (nil, Boolean and Color count as Int32,
// text as Double); the result is a new variant of that type:
//   - integers wrap in their width; "\" and Mod by zero give 0 (they never
//     trap), the smallest value divided by -1 wraps;
//   - "/" and "^" always give Double; "\" of floating-point or Currency
//     operands gives Int64; Mod of floating-point operands is fmod;
//   - "+" of two texts (or a text and nil) joins them;
//   - And, Or and Not of Booleans are logical and give a Boolean; otherwise
//     they work bit by bit on the integer type (Int64 for floating point,
//     Currency and text);
//   - an operand that is an object of another class raises
//     TypeMismatchException and gives nil.
// Add, Subtract, Divide, IntegerDivide, Modulo and Power have a "Right" form
// for a variant that stood on the right of the operator: XRight(a, b) is
// X(b, a).
#include "BoxedValue.h"
#include "ObjectDefinition.h"
#include "RuntimeException.h"

#include "RuntimeConversions.h"

#include <algorithm>
#include <cmath>

extern ObjectDefinition TypeMismatchExceptionDefinition;

namespace {

using variants::Kind;
using variants::Scalar;

enum class Op { Add, Subtract, Multiply, Divide, IntegerDivide, Modulo, Power, And, Or };

// The common numeric types, narrowest first.
const Kind kWidening[] = {Kind::Int32,    Kind::UInt32, Kind::Int64, Kind::UInt64,
                          Kind::Currency, Kind::Single, Kind::Double};

int Rank(Kind kind) {
    switch (kind) {
    case Kind::String:
        return 6;
    case Kind::None:
    case Kind::Boolean:
    case Kind::Color:
        return 0;
    default:
        for (int r = 0; r < 7; ++r)
            if (kWidening[r] == kind) return r;
        return 0;
    }
}

bool IsInteger(Kind kind) {
    return Rank(kind) <= 3;
}

bool IsSigned(Kind kind) {
    return kind == Kind::Int32 || kind == Kind::Int64 || kind == Kind::Currency;
}

// An operand: nil reads as Int32 0; false for an object of another class
// (after raising).
bool Operand(RuntimeObject *variant, Scalar *out) {
    if (variant == nullptr) {
        *out = variants::FromSigned(Kind::None, 0);
        return true;
    }
    Kind kind = variants::KindOf(variant);
    if (kind == Kind::None) {
        exceptions::RaiseDefinition(&TypeMismatchExceptionDefinition);
        return false;
    }
    *out = variants::Read(variant, kind);
    return true;
}

RuntimeObject *Integer(Kind kind, uint64_t bits) {
    return variants::Box(kind, IsSigned(kind) ? variants::FromSigned(kind, int64_t(bits))
                                              : variants::FromUnsigned(kind, bits));
}

RuntimeObject *Floating(Kind kind, double value) {
    return variants::Box(kind, variants::FromFloating(Kind::Double, value));
}

// "\" and Mod of integers of `kind` (the bits of the result), never trapping.
uint64_t Divide(Op op, Kind kind, const Scalar &x, const Scalar &y) {
    if (IsSigned(kind)) {
        int64_t a = variants::ToInt64(x), b = variants::ToInt64(y);
        if (kind == Kind::Int32) a = int32_t(a), b = int32_t(b);
        if (b == 0) return 0;
        if (b == -1) return op == Op::Modulo ? 0 : 0 - uint64_t(a);
        return uint64_t(op == Op::Modulo ? a % b : a / b);
    }
    uint64_t a = variants::ToUInt64(x), b = variants::ToUInt64(y);
    if (kind == Kind::UInt32) a = uint32_t(a), b = uint32_t(b);
    if (b == 0) return 0;
    return op == Op::Modulo ? a % b : a / b;
}

RuntimeObject *Logic(Op op, const Scalar &x, const Scalar &y, Kind common) {
    if (x.kind == Kind::Boolean && y.kind == Kind::Boolean) {
        bool value = op == Op::And ? (x.i && y.i) : (x.i || y.i);
        return variants::Box(Kind::Boolean, variants::FromSigned(Kind::Boolean, value));
    }
    Kind kind = IsInteger(common) ? common : Kind::Int64;
    uint64_t a = uint64_t(variants::ToInt64(x)), b = uint64_t(variants::ToInt64(y));
    if (!IsSigned(kind)) a = variants::ToUInt64(x), b = variants::ToUInt64(y);
    return Integer(kind, op == Op::And ? a & b : a | b);
}

RuntimeObject *Apply(Op op, RuntimeObject *left, RuntimeObject *right) {
    Scalar x, y;
    if (!Operand(left, &x) || !Operand(right, &y)) return nullptr;
    bool textX = x.kind == Kind::String, textY = y.kind == Kind::String;
    if (op == Op::Add && (textX || textY) && (textX || left == nullptr) &&
        (textY || right == nullptr)) {
        KESTstring *joined = RuntimeAddString(x.s, y.s);
        RuntimeObject *result = StringToVariant(joined);
        RuntimeUnlockString(joined);
        return result;
    }
    Kind common = kWidening[std::max(Rank(x.kind), Rank(y.kind))];
    switch (op) {
    case Op::Divide:
        return Floating(Kind::Double, variants::ToDouble(x) / variants::ToDouble(y));
    case Op::Power:
        return Floating(Kind::Double, std::pow(variants::ToDouble(x), variants::ToDouble(y)));
    case Op::And:
    case Op::Or:
        return Logic(op, x, y, common);
    case Op::IntegerDivide:
    case Op::Modulo:
        if (IsInteger(common)) return Integer(common, Divide(op, common, x, y));
        if (common == Kind::Currency) {
            // Both in ten-thousandths: the quotient is a whole number, the
            // remainder is Currency again.
            Scalar a = variants::FromSigned(Kind::Int64, variants::ToCurrency(x));
            Scalar b = variants::FromSigned(Kind::Int64, variants::ToCurrency(y));
            uint64_t bits = Divide(op, Kind::Int64, a, b);
            return Integer(op == Op::Modulo ? Kind::Currency : Kind::Int64, bits);
        }
        if (op == Op::Modulo)
            return Floating(common, std::fmod(variants::ToDouble(x), variants::ToDouble(y)));
        return Integer(Kind::Int64, uint64_t(RuntimeCvtReal64ToSInt64(variants::ToDouble(x) /
                                                                      variants::ToDouble(y))));
    default:
        break;
    }
    if (common == Kind::Single || common == Kind::Double) {
        double a = variants::ToDouble(x), b = variants::ToDouble(y);
        if (common == Kind::Single) a = float(a), b = float(b);
        double r = op == Op::Add ? a + b : (op == Op::Subtract ? a - b : a * b);
        return Floating(common, common == Kind::Single ? double(float(r)) : r);
    }
    if (common == Kind::Currency) {
        if (op == Op::Multiply)
            return Floating(Kind::Currency, variants::ToDouble(x) * variants::ToDouble(y));
        uint64_t a = uint64_t(variants::ToCurrency(x)), b = uint64_t(variants::ToCurrency(y));
        return Integer(Kind::Currency, op == Op::Add ? a + b : a - b);
    }
    uint64_t a = variants::ToUInt64(x), b = variants::ToUInt64(y);
    return Integer(common, op == Op::Add ? a + b : (op == Op::Subtract ? a - b : a * b));
}

} // namespace

#define KQ_VARIANT_OPERATION(Name, op)                                                             \
    extern "C" RuntimeObject *Variant##Name(RuntimeObject *a, RuntimeObject *b) {                  \
        return Apply(op, a, b);                                                                    \
    }
#define KQ_VARIANT_RIGHT_OPERATION(Name, op)                                                       \
    extern "C" RuntimeObject *Variant##Name##Right(RuntimeObject *a, RuntimeObject *b) {           \
        return Apply(op, b, a);                                                                    \
    }
KQ_VARIANT_OPERATION(Add, Op::Add)
KQ_VARIANT_OPERATION(Subtract, Op::Subtract)
KQ_VARIANT_OPERATION(Multiply, Op::Multiply)
KQ_VARIANT_OPERATION(Divide, Op::Divide)
KQ_VARIANT_OPERATION(IntegerDivide, Op::IntegerDivide)
KQ_VARIANT_OPERATION(Modulo, Op::Modulo)
KQ_VARIANT_OPERATION(Power, Op::Power)
KQ_VARIANT_OPERATION(And, Op::And)
KQ_VARIANT_OPERATION(Or, Op::Or)
// The operations that are not commutative have a form for a variant on the
// right (and Add, whose "+" joins texts in order).
KQ_VARIANT_RIGHT_OPERATION(Add, Op::Add)
KQ_VARIANT_RIGHT_OPERATION(Subtract, Op::Subtract)
KQ_VARIANT_RIGHT_OPERATION(Divide, Op::Divide)
KQ_VARIANT_RIGHT_OPERATION(IntegerDivide, Op::IntegerDivide)
KQ_VARIANT_RIGHT_OPERATION(Modulo, Op::Modulo)
KQ_VARIANT_RIGHT_OPERATION(Power, Op::Power)
#undef KQ_VARIANT_OPERATION
#undef KQ_VARIANT_RIGHT_OPERATION

extern "C" RuntimeObject *VariantNegate(RuntimeObject *variant) {
    Scalar x;
    if (!Operand(variant, &x)) return nullptr;
    Kind kind = kWidening[Rank(x.kind)];
    switch (kind) {
    case Kind::Single:
    case Kind::Double:
        return Floating(kind, -variants::ToDouble(x));
    case Kind::Currency:
        return Integer(kind, 0 - uint64_t(x.i));
    default:
        return Integer(kind, 0 - variants::ToUInt64(x));
    }
}

extern "C" RuntimeObject *VariantNot(RuntimeObject *variant) {
    Scalar x;
    if (!Operand(variant, &x)) return nullptr;
    if (x.kind == Kind::Boolean)
        return variants::Box(Kind::Boolean, variants::FromSigned(Kind::Boolean, x.i == 0));
    Kind kind = IsInteger(kWidening[Rank(x.kind)]) ? kWidening[Rank(x.kind)] : Kind::Int64;
    uint64_t bits = IsSigned(kind) ? uint64_t(variants::ToInt64(x)) : variants::ToUInt64(x);
    return Integer(kind, ~bits);
}
