// Variants of the language: a variant is an object reference, either nil, an
// object of one of the boxing classes that holds one value of an intrinsic
// type, or any other object. Boxing makes a new object of the value's class;
// unboxing asks the object's class for the conversion ("Operator_Convert"
// with the target's type code), hashing for "Operator_Hash%i4%o<Class>".
//
// Boxing object: the RuntimeObject header, then the value at offset 24
// (a KESTstring holding one reference for StringObject).
//
// Conversions between the boxed types (the rules every "...ObjectTo..."
// function follows):
//   - integers to integers keep the low bits (two's complement);
//   - floating point to integers and Currency truncates toward zero (the
//     RuntimeCvt... rules); integers to floating point are exact or rounded;
//   - Boolean is 1 or 0 as a number; a number is True when it is not zero;
//   - Color is its 0x00RRGGBB value as a number;
//   - Currency counts ten-thousandths;
//   - text is read as Val reads it (with "True"/"False" for Boolean, in any
//     case); numbers are written as Str writes them, Currency with up to four
//     decimals, Boolean as "True"/"False", Color as "&h" and six hexadecimal
//     digits.
#pragma once

#include "KESTstring.h"
#include "RuntimeObject.h"

#include <cstddef>
#include <cstdint>

struct ObjectDefinition;

// The boxing classes, with the C type of their value. `Color` is 0x00RRGGBB;
// `Currency` a signed count of ten-thousandths.
#define KQ_BOXING_CLASSES(X)                                                                       \
    X(Int32, int32_t)                                                                              \
    X(UInt32, uint32_t)                                                                            \
    X(Int64, int64_t)                                                                              \
    X(UInt64, uint64_t)                                                                            \
    X(Single, float)                                                                               \
    X(Double, double)                                                                              \
    X(Boolean, bool)                                                                               \
    X(Color, uint32_t)                                                                             \
    X(Currency, int64_t)                                                                           \
    X(String, KESTstring *)

template <typename T>
struct BoxingObject {
    RuntimeObject header;
    T value;
};
static_assert(offsetof(BoxingObject<int32_t>, value) == 24, "boxed value after the header");
static_assert(offsetof(BoxingObject<double>, value) == 24, "boxed value after the header");

// Variant type codes (VarType).
enum VariantType : int32_t {
    kVarTypeNil = 0,
    kVarTypeInteger = 2, // Int32Object, UInt32Object
    kVarTypeLong = 3,    // Int64Object, UInt64Object
    kVarTypeSingle = 4,
    kVarTypeDouble = 5,
    kVarTypeCurrency = 6,
    kVarTypeDate = 7,
    kVarTypeString = 8,
    kVarTypeObject = 9,
    kVarTypeBoolean = 11,
    kVarTypeColor = 16,
};

#define KQ_DECLARE_BOXING(Name, Type)                                                              \
    extern ObjectDefinition Name##ObjectDefinition;                                                \
    extern "C" RuntimeObject *Name##ToVariant(Type value);                                         \
    extern "C" Type VariantTo##Name(RuntimeObject *variant);
KQ_BOXING_CLASSES(KQ_DECLARE_BOXING)
#undef KQ_DECLARE_BOXING

extern "C" {
// An object passes through, with a reference added for the caller.
RuntimeObject *ObjectToVariant(RuntimeObject *object);
RuntimeObject *VariantToObject(RuntimeObject *variant);

int32_t VarType(RuntimeObject *variant);
int32_t VariantHash(RuntimeObject *variant);
bool VariantEqual(RuntimeObject *a, RuntimeObject *b);
int32_t VariantCompare(RuntimeObject *a, RuntimeObject *b);

// Str of a variant: the text of VariantToString.
KESTstring *StringStrVariant(RuntimeObject *variant);
KESTstring *runCStr(RuntimeObject *variant);
bool RuntimeIsNumeric(RuntimeObject *variant);

void StringObjectFinalizer(RuntimeObject *self);
}

namespace variants {

// The value kinds of the boxing classes, in KQ_BOXING_CLASSES order.
enum class Kind : uint8_t {
#define KQ_BOXING_KIND(Name, Type) Name,
    KQ_BOXING_CLASSES(KQ_BOXING_KIND)
#undef KQ_BOXING_KIND
        None, // nil or an object of another class
};

// The C type of the values of a kind.
template <Kind kind>
struct ValueType;
#define KQ_BOXING_VALUE_TYPE(Name, Type)                                                           \
    template <>                                                                                    \
    struct ValueType<Kind::Name> {                                                                 \
        using type = Type;                                                                         \
    };
KQ_BOXING_CLASSES(KQ_BOXING_VALUE_TYPE)
#undef KQ_BOXING_VALUE_TYPE
template <Kind kind>
using ValueOf = typename ValueType<kind>::type;

// The boxing kind of an object (None for nil and other classes).
Kind KindOf(const RuntimeObject *variant);

// The class of a boxing kind (converted on first use).
RuntimeClass *BoxingClass(Kind kind);

} // namespace variants
