// The boxing classes Int32Object ... StringObject as runtime classes. Each
// holds its value right after the object header and declares, as methods,
// one "Operator_Convert" per type it converts to (entry points named
// <Class>To<Type>, such as DoubleObjectToInt32) and "Operator_Hash"
// (<Class>Hash). Everything here is generated from KQ_BOXING_CLASSES and the
// conversion lists KQ_CONVERSIONS_<Name> below.
#include "BoxedValue.h"
#include "ObjectDefinition.h"

#include <type_traits>

// A StringObject drops its text when it is released.
extern "C" void StringObjectFinalizer(RuntimeObject *self) {
    auto *boxed = reinterpret_cast<BoxingObject<KESTstring *> *>(self);
    KESTstring *text = boxed->value;
    boxed->value = nullptr;
    RuntimeUnlockString(text);
}

namespace {

template <typename T>
struct Width {
    static constexpr uint32_t kInstanceSize = sizeof(BoxingObject<T>);
};

const FunctionRecord kStringFinalizer = KQ_FUNCTION(StringObjectFinalizer);
const FunctionRecord kNoFinalizer = KQ_NO_FUNCTION;

} // namespace

// The conversions each boxing class offers: the runtime's export table
// names exactly these (a class lacks the ones that make no sense for it, such
// as BooleanObjectToCurrency).
// clang-format off
#define KQ_CONVERSIONS_Int32(X, C)                                                                 \
    X(C, Int32)              X(C, Int64) X(C, UInt64) X(C, Boolean) X(C, Single) X(C, Double)      \
    X(C, String) X(C, Currency) X(C, Color)
#define KQ_CONVERSIONS_UInt32(X, C)                                                                \
                X(C, UInt32) X(C, Int64) X(C, UInt64) X(C, Boolean) X(C, Single) X(C, Double)      \
    X(C, String) X(C, Currency) X(C, Color)
#define KQ_CONVERSIONS_ALL(X, C)                                                                   \
    X(C, Int32) X(C, UInt32) X(C, Int64) X(C, UInt64) X(C, Boolean) X(C, Single) X(C, Double)      \
    X(C, String) X(C, Currency) X(C, Color)
#define KQ_CONVERSIONS_Boolean(X, C)                                                               \
    X(C, Int32)              X(C, Int64)              X(C, Boolean) X(C, Single) X(C, Double)      \
    X(C, String)                X(C, Color)
#define KQ_CONVERSIONS_Color(X, C)                                                                 \
    X(C, Int32)              X(C, Int64)              X(C, Boolean) X(C, Single) X(C, Double)      \
    X(C, String)                X(C, Color)
#define KQ_CONVERSIONS_Currency(X, C)                                                              \
    X(C, Int32) X(C, UInt32) X(C, Int64) X(C, UInt64) X(C, Boolean) X(C, Single) X(C, Double)      \
    X(C, String) X(C, Currency)
// clang-format on
#define KQ_CONVERSIONS_Int64 KQ_CONVERSIONS_ALL
#define KQ_CONVERSIONS_UInt64 KQ_CONVERSIONS_ALL
#define KQ_CONVERSIONS_Single KQ_CONVERSIONS_ALL
#define KQ_CONVERSIONS_Double KQ_CONVERSIONS_ALL
#define KQ_CONVERSIONS_String KQ_CONVERSIONS_ALL

#define KQ_CONVERSION_FUNCTION(Name, Target)                                                       \
    extern "C" variants::ValueOf<variants::Kind::Target> Name##ObjectTo##Target(                   \
        RuntimeObject *self) {                                                                     \
        return variants::To##Target(variants::Read(self, variants::Kind::Name));                   \
    }
#define KQ_CONVERSION_METHOD(Name, Target)                                                         \
    KQ_METHOD("Operator_Convert", &kType##Target, KQ_NO_TABLE, Name##ObjectTo##Target),

#define KQ_BOXING_CLASS(Name, Type)                                                                \
    KQ_CONVERSIONS_##Name(KQ_CONVERSION_FUNCTION,                                                  \
                          Name) extern "C" int32_t Name##ObjectHash(RuntimeObject *self) {         \
        return variants::Hash(variants::Read(self, variants::Kind::Name));                         \
    }                                                                                              \
    namespace {                                                                                    \
    const MethodEntry k##Name##ObjectMethods[] = {                                                 \
        KQ_CONVERSIONS_##Name(KQ_CONVERSION_METHOD, Name)                                          \
            KQ_METHOD("Operator_Hash", &kTypeInteger, KQ_NO_TABLE, Name##ObjectHash),              \
    };                                                                                             \
    const RuntimeClassDeclaration k##Name##ObjectDeclaration = {                                   \
        #Name "Object",                                                                            \
        nullptr,                                                                                   \
        Width<Type>::kInstanceSize,                                                                \
        KQ_ANYWHERE,                                                                               \
        false,                                                                                     \
        KQ_NO_TABLE,                                                                               \
        KQ_TABLE(k##Name##ObjectMethods),                                                          \
        KQ_NO_TABLE,                                                                               \
        KQ_NO_TABLE,                                                                               \
        KQ_NO_TABLE,                                                                               \
        KQ_NO_FUNCTION,                                                                            \
        std::is_same<Type, KESTstring *>::value ? kStringFinalizer : kNoFinalizer,                 \
    };                                                                                             \
    }                                                                                              \
    ObjectDefinition Name##ObjectDefinition(&k##Name##ObjectDeclaration);

KQ_BOXING_CLASSES(KQ_BOXING_CLASS)
