// The variant entry points: boxing, unboxing, VarType, hashing and
// comparison. What a class is to variants (its boxing kind, its VarType code,
// its "Operator_Hash") is worked out once per class and kept in a map.
#include "BoxedValue.h"
#include "ObjectDefinition.h"
#include "RuntimeException.h"

#include "IntMap.h"
#include "RuntimeErrorReport.h"
#include "StringNumber.h"

#include <string>

extern ObjectDefinition TypeMismatchExceptionDefinition;

namespace variants {

namespace {

constexpr int kKindCount = int(Kind::None);

ObjectDefinition *const kBoxingDefinitions[kKindCount] = {
#define KQ_BOXING_DEFINITION(Name, Type) &Name##ObjectDefinition,
    KQ_BOXING_CLASSES(KQ_BOXING_DEFINITION)
#undef KQ_BOXING_DEFINITION
};

const int32_t kBoxingVarTypes[kKindCount] = {
    kVarTypeInteger, kVarTypeInteger, kVarTypeLong,  kVarTypeLong,     kVarTypeSingle,
    kVarTypeDouble,  kVarTypeBoolean, kVarTypeColor, kVarTypeCurrency, kVarTypeString,
};

RuntimeClass *gBoxingClasses[kKindCount] = {};

struct ClassInfo {
    Kind kind = Kind::None;
    int32_t varType = kVarTypeObject;
    // The code of the class's "Operator_Hash%i4%o<Name>" (image code), or
    // null; the boxing classes hash through their kind.
    void *hash = nullptr;
};

IntMap<ClassInfo> gClassInfo;

bool IsNamed(const RuntimeClass *cls, const char *name) {
    KESTstring *wanted = kstr::FromC(name);
    bool same = kstr::CompareFold(cls->name, wanted) == 0;
    RuntimeUnlockString(wanted);
    return same;
}

// The code of the entry named `name` among the class's methods, then its
// members; null when there is none.
void *FindNamed(const RuntimeClass *cls, const std::string &name) {
    KESTstring *wanted = kstr::FromC(name.c_str());
    void *code = nullptr;
    for (uint32_t i = 0; i < cls->methodCount && code == nullptr; ++i)
        if (kstr::CompareFold(cls->methods[i].name, wanted) == 0) code = cls->methods[i].code;
    for (uint32_t i = 0; i < cls->memberCount && code == nullptr; ++i)
        if (kstr::CompareFold(cls->members[i].name, wanted) == 0) code = cls->members[i].code;
    RuntimeUnlockString(wanted);
    return code;
}

ClassInfo Describe(RuntimeClass *cls) {
    ClassInfo info;
    for (int k = 0; k < kKindCount; ++k) {
        if (cls == BoxingClass(Kind(k))) {
            info.kind = Kind(k);
            info.varType = kBoxingVarTypes[k];
            return info;
        }
    }
    for (const RuntimeClass *c = cls; c != nullptr; c = c->superclass)
        if (IsNamed(c, "Date")) info.varType = kVarTypeDate;
    info.hash = FindNamed(cls, std::string("Operator_Hash%i4%o<") + kstr::Text(cls->name) + ">");
    return info;
}

ClassInfo InfoOf(const RuntimeObject *object) {
    RuntimeClass *cls = object->classPtr;
    ClassInfo info;
    if (!gClassInfo.Lookup(uint32_t(reinterpret_cast<uintptr_t>(cls)), &info)) {
        info = Describe(cls);
        gClassInfo.Set(uint32_t(reinterpret_cast<uintptr_t>(cls)), info);
    }
    return info;
}

int32_t Sign(int64_t difference) {
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

template <typename T>
int32_t Order(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Currency (ten-thousandths) against a whole number, without overflow.
int32_t CompareCurrency(int64_t currency, const Scalar &whole) {
    constexpr int64_t kLimit = INT64_MAX / 10000;
    if (whole.kind == Kind::UInt32 || whole.kind == Kind::UInt64) {
        if (whole.u > uint64_t(kLimit)) return -1;
        return Order<int64_t>(currency, int64_t(whole.u) * 10000);
    }
    if (whole.i > kLimit) return -1;
    if (whole.i < -kLimit) return 1;
    return Order<int64_t>(currency, whole.i * 10000);
}

bool IsFloating(Kind k) {
    return k == Kind::Single || k == Kind::Double;
}
bool IsUnsigned(Kind k) {
    return k == Kind::UInt32 || k == Kind::UInt64;
}

// Numbers of any two boxing kinds by value; NaN after every other value.
int32_t CompareNumbers(const Scalar &a, const Scalar &b) {
    if (IsFloating(a.kind) || IsFloating(b.kind)) {
        double x = ToDouble(a), y = ToDouble(b);
        bool xNaN = x != x, yNaN = y != y;
        if (xNaN || yNaN) return int32_t(xNaN) - int32_t(yNaN);
        return Order(x, y);
    }
    if (a.kind == Kind::Currency && b.kind == Kind::Currency) return Order(a.i, b.i);
    if (a.kind == Kind::Currency) return CompareCurrency(a.i, b);
    if (b.kind == Kind::Currency) return -CompareCurrency(b.i, a);
    bool ua = IsUnsigned(a.kind), ub = IsUnsigned(b.kind);
    if (ua && ub) return Order(a.u, b.u);
    if (!ua && !ub) return Order(a.i, b.i);
    if (ua) return b.i < 0 ? 1 : Order(a.u, uint64_t(b.i));
    return a.i < 0 ? -1 : Order(uint64_t(a.i), b.u);
}

} // namespace

RuntimeClass *BoxingClass(Kind kind) {
    if (kind == Kind::None) return nullptr;
    RuntimeClass *&cls = gBoxingClasses[int(kind)];
    if (cls == nullptr) cls = definitions::Convert(kBoxingDefinitions[int(kind)]);
    return cls;
}

Kind KindOf(const RuntimeObject *variant) {
    return variant != nullptr ? InfoOf(variant).kind : Kind::None;
}

} // namespace variants

using variants::Kind;

namespace {

// Unboxing: nil gives the type's zero; an object that is no boxed value
// raises TypeMismatchException.
template <typename T>
T Unbox(RuntimeObject *variant, T (*convert)(const variants::Scalar &)) {
    if (variant == nullptr) return T();
    Kind kind = variants::KindOf(variant);
    if (kind == Kind::None) {
        exceptions::RaiseDefinition(&TypeMismatchExceptionDefinition);
        return T();
    }
    return convert(variants::Read(variant, kind));
}

} // namespace

#define KQ_BOXING_ENTRY_POINTS(Name, Type)                                                         \
    extern "C" RuntimeObject *Name##ToVariant(Type value) {                                        \
        return variants::Box(Kind::Name, variants::Of(Kind::Name, value));                         \
    }                                                                                              \
    extern "C" Type VariantTo##Name(RuntimeObject *variant) {                                      \
        return Unbox<Type>(variant, &variants::To##Name);                                          \
    }
KQ_BOXING_CLASSES(KQ_BOXING_ENTRY_POINTS)
#undef KQ_BOXING_ENTRY_POINTS

// Older names of some of the boxing entry points.
extern "C" RuntimeObject *intToVariant(int32_t value) __attribute__((alias("Int32ToVariant")));
extern "C" RuntimeObject *doubleToVariant(double value) __attribute__((alias("DoubleToVariant")));
extern "C" RuntimeObject *booleanToVariant(bool value) __attribute__((alias("BooleanToVariant")));
extern "C" RuntimeObject *colorToVariant(uint32_t value) __attribute__((alias("ColorToVariant")));
extern "C" RuntimeObject *stringToVariant(KESTstring *value)
    __attribute__((alias("StringToVariant")));

extern "C" RuntimeObject *ObjectToVariant(RuntimeObject *object) {
    RuntimeLockObject(object);
    return object;
}

extern "C" RuntimeObject *VariantToObject(RuntimeObject *variant) {
    RuntimeLockObject(variant);
    return variant;
}

extern "C" KESTstring *StringStrVariant(RuntimeObject *variant) {
    return VariantToString(variant);
}

// CStr: as Str, but floating-point values are written with the locale's
// decimal separator.
extern "C" KESTstring *runCStr(RuntimeObject *variant) {
    Kind kind = variants::KindOf(variant);
    if (kind == Kind::Single || kind == Kind::Double)
        return kstr::StrDouble(variants::ToDouble(variants::Read(variant, kind)), true);
    return VariantToString(variant);
}

// IsNumeric: boxed numbers are numeric; a text is when Val reads all of it
// as a number; Booleans, colours, nil and other objects are not.
extern "C" bool RuntimeIsNumeric(RuntimeObject *variant) {
    switch (variants::KindOf(variant)) {
    case Kind::Int32:
    case Kind::UInt32:
    case Kind::Int64:
    case Kind::UInt64:
    case Kind::Single:
    case Kind::Double:
    case Kind::Currency:
        return true;
    case Kind::String: {
        bool valid = false;
        kstr::ValChecked(reinterpret_cast<BoxingObject<KESTstring *> *>(variant)->value, &valid);
        return valid;
    }
    default:
        return false;
    }
}

extern "C" int32_t VarType(RuntimeObject *variant) {
    return variant != nullptr ? variants::InfoOf(variant).varType : kVarTypeNil;
}

extern "C" int32_t VariantHash(RuntimeObject *variant) {
    if (variant == nullptr) return 0;
    variants::ClassInfo info = variants::InfoOf(variant);
    if (info.kind != Kind::None) return variants::Hash(variants::Read(variant, info.kind));
    if (info.hash != nullptr) {
        auto argument = uint32_t(reinterpret_cast<uintptr_t>(variant));
        return int32_t(uint32_t(RuntimeCallImageHandler(info.hash, 1, &argument)));
    }
    return int32_t(reinterpret_cast<uintptr_t>(variant));
}

// Both operands are brought to a common type: two texts compare without
// regard to case, a text and a number as texts, numbers by value; any other
// object only equals itself (and orders by address); nil comes first.
extern "C" int32_t VariantCompare(RuntimeObject *a, RuntimeObject *b) {
    if (a == b) return 0;
    if (a == nullptr) return -1;
    if (b == nullptr) return 1;
    Kind ka = variants::KindOf(a), kb = variants::KindOf(b);
    if (ka == Kind::None || kb == Kind::None)
        return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b) ? -1 : 1;
    variants::Scalar x = variants::Read(a, ka), y = variants::Read(b, kb);
    if (ka != Kind::String && kb != Kind::String) return variants::CompareNumbers(x, y);
    KESTstring *sx = variants::ToString(x), *sy = variants::ToString(y);
    int32_t order = variants::Sign(RuntimeStringCompare(sx, sy));
    RuntimeUnlockString(sx);
    RuntimeUnlockString(sy);
    return order;
}

extern "C" bool VariantEqual(RuntimeObject *a, RuntimeObject *b) {
    return VariantCompare(a, b) == 0;
}
