// The generic field accessors. The offset comes from the class's property
// table (the compiler copies it from the runtime's own declarations), so it
// is trusted like the rest of the class record.
#include "GenericAccessors.h"

#include "RuntimeException.h"
#include "RuntimeObject.h"

#include <cstring>

namespace {

template <typename T>
T Read(RuntimeObject *object, int32_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<char *>(object) + offset, sizeof value);
    return value;
}

template <typename T>
void Write(RuntimeObject *object, int32_t offset, T value) {
    std::memcpy(reinterpret_cast<char *>(object) + offset, &value, sizeof value);
}

} // namespace

// Plain values: read or write the field as it stands.
#define KQ_VALUE_ACCESSORS(getter, setter, Type)                                                   \
    extern "C" Type getter(RuntimeObject *object, int32_t offset) {                                \
        if (object == nullptr) {                                                                   \
            RaiseNilObjectException();                                                             \
            return Type();                                                                         \
        }                                                                                          \
        return Read<Type>(object, offset);                                                         \
    }                                                                                              \
    extern "C" void setter(RuntimeObject *object, int32_t offset, Type value) {                    \
        if (object == nullptr) {                                                                   \
            RaiseNilObjectException();                                                             \
            return;                                                                                \
        }                                                                                          \
        Write<Type>(object, offset, value);                                                        \
    }

// Counted references: the getter adds one for the caller; the setter locks
// the new value before it unlocks the old one (they may be the same).
#define KQ_REFERENCE_ACCESSORS(getter, setter, Type, lock, unlock)                                 \
    extern "C" Type *getter(RuntimeObject *object, int32_t offset) {                               \
        if (object == nullptr) {                                                                   \
            RaiseNilObjectException();                                                             \
            return nullptr;                                                                        \
        }                                                                                          \
        Type *value = Read<Type *>(object, offset);                                                \
        lock(value);                                                                               \
        return value;                                                                              \
    }                                                                                              \
    extern "C" void setter(RuntimeObject *object, int32_t offset, Type *value) {                   \
        if (object == nullptr) {                                                                   \
            RaiseNilObjectException();                                                             \
            return;                                                                                \
        }                                                                                          \
        Type *old = Read<Type *>(object, offset);                                                  \
        lock(value);                                                                               \
        Write<Type *>(object, offset, value);                                                      \
        unlock(old);                                                                               \
    }

KQ_VALUE_ACCESSORS(boolGetter, boolSetter, bool)
KQ_VALUE_ACCESSORS(byteGetter, byteSetter, uint8_t)
KQ_VALUE_ACCESSORS(shortGetter, shortSetter, int16_t)
KQ_VALUE_ACCESSORS(intGetter, intSetter, int32_t)
KQ_VALUE_ACCESSORS(int64Getter, int64Setter, int64_t)
KQ_VALUE_ACCESSORS(singleGetter, singleSetter, float)
KQ_VALUE_ACCESSORS(doubleGetter, doubleSetter, double)
KQ_REFERENCE_ACCESSORS(stringGetter, stringSetter, KESTstring, RuntimeLockString,
                       RuntimeUnlockString)
KQ_REFERENCE_ACCESSORS(objGetter, objSetter, RuntimeObject, RuntimeLockObject, RuntimeUnlockObject)
