// The value types of the class model and the type codes of signatures:
// b Boolean, c Color, e Currency, f4/f8 Single/Double, i1..i8 and u1..u8
// integers, s String, p Ptr, v Variant, o<Name> objects, A<n><code> arrays.
#include "ObjectDefinition.h"

#include "RuntimeException.h"

#define KQ_VALUE_TYPE(variable, name, code, getter, setter)                                        \
    const IntrinsicType variable = {{kTypeKindIntrinsic}, name, nullptr, nullptr, KQ_CODE(getter), \
                                    KQ_CODE(setter),      code};
#define KQ_COUNTED_TYPE(variable, name, code, lock, unlock, getter, setter)                        \
    const IntrinsicType variable = {                                                               \
        {kTypeKindIntrinsic}, name, KQ_CODE(lock), KQ_CODE(unlock), KQ_CODE(getter),               \
        KQ_CODE(setter),      code};

KQ_VALUE_TYPE(kTypeBoolean, "Boolean", "b", boolGetter, boolSetter)
KQ_VALUE_TYPE(kTypeColor, "Color", "c", intGetter, intSetter)
KQ_VALUE_TYPE(kTypeCurrency, "Currency", "e", int64Getter, int64Setter)
KQ_VALUE_TYPE(kTypeSingle, "Single", "f4", singleGetter, singleSetter)
KQ_VALUE_TYPE(kTypeDouble, "Double", "f8", doubleGetter, doubleSetter)
KQ_VALUE_TYPE(kTypeInt8, "Int8", "i1", byteGetter, byteSetter)
KQ_VALUE_TYPE(kTypeInt16, "Int16", "i2", shortGetter, shortSetter)
KQ_VALUE_TYPE(kTypeInt32, "Int32", "i4", intGetter, intSetter)
KQ_VALUE_TYPE(kTypeInteger, "Integer", "i4", intGetter, intSetter)
KQ_VALUE_TYPE(kTypeInt64, "Int64", "i8", int64Getter, int64Setter)
KQ_VALUE_TYPE(kTypeUInt8, "UInt8", "u1", byteGetter, byteSetter)
KQ_VALUE_TYPE(kTypeUInt16, "UInt16", "u2", shortGetter, shortSetter)
KQ_VALUE_TYPE(kTypeUInt32, "UInt32", "u4", intGetter, intSetter)
KQ_VALUE_TYPE(kTypeUInt64, "UInt64", "u8", int64Getter, int64Setter)
KQ_VALUE_TYPE(kTypePtr, "Ptr", "p", intGetter, intSetter)
KQ_COUNTED_TYPE(kTypeString, "String", "s", RuntimeLockString, RuntimeUnlockString, stringGetter,
                stringSetter)
KQ_COUNTED_TYPE(kTypeVariant, "Variant", "v", RuntimeLockObject, RuntimeUnlockObject, objGetter,
                objSetter)

namespace {
const RuntimeClassDeclaration kObjectTypeDeclaration = {
    "Object",    nullptr,     sizeof(RuntimeObject), KQ_ANYWHERE, false,          KQ_NO_TABLE,
    KQ_NO_TABLE, KQ_NO_TABLE, KQ_NO_TABLE,           KQ_NO_TABLE, KQ_NO_FUNCTION, KQ_NO_FUNCTION};
} // namespace

ObjectDefinition kTypeObject(&kObjectTypeDeclaration);

namespace definitions {

std::string TypeCode(const TypeDescriptor *type) {
    if (type == nullptr) return "";
    switch (type->kind) {
    case kTypeKindIntrinsic:
        return static_cast<const IntrinsicType *>(type)->code;
    case kTypeKindArray: {
        auto *array = static_cast<const ArrayType *>(type);
        return "A" + std::to_string(array->dimensions) + TypeCode(array->element);
    }
    case kTypeKindClass: {
        auto *defn =
            Built(const_cast<ObjectDefinition *>(static_cast<const ObjectDefinition *>(type)));
        return std::string("o<") + kstr::Text(defn->name) + ">";
    }
    }
    return "";
}

} // namespace definitions
