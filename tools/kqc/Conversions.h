// Which values convert to which types, implicitly or only when written
// (CType(x, T), T(x), Class(obj)), and the types operators compute in.
// Implicit conversions never lose information: integers widen, integers and
// Single become Double, anything becomes a Variant and a Variant anything,
// objects convert to their superclasses and interfaces. A constant converts
// implicitly to any numeric type that holds its value.
#pragma once

#include "Symbols.h"

namespace kqc {

enum class Convertibility : uint8_t { Same, Implicit, Explicit, Never };

// `constant` is the value of the expression when it is a constant, or null.
Convertibility convertibility(const Type *from, const Type *to, const ConstValue *constant);

// Cost of an implicit conversion for choosing among overloads: 0 for the
// same type, higher for conversions that change more. Only meaningful for
// Same and Implicit.
int conversionCost(const Type *from, const Type *to, const ConstValue *constant);

// The type both operands of an arithmetic operator are brought to, or null
// when the operands are not numbers. Variants compute as Variants. Integers
// compute in at least 32 bits; a UInt32 with a signed integer in 64.
const Type *arithmeticType(TypeTable &types, const Type *a, const Type *b);

} // namespace kqc
