// The exception classes and raising: RuntimeException and its subclasses as
// runtime class declarations, their life cycle, the raise entry points, the
// class slots of the exceptions the runtime raises itself, and the hooks.
// The search for the handler is in RuntimeExceptionTransfer.cc.
#include "RuntimeException.h"

#include "RuntimeErrorReport.h"

#include <cstring>
#include <string>

namespace {

const PropertyEntry kExceptionProperties[] = {
    KQ_PROPERTY("ErrorNumber", &kTypeInteger, intGetter, intSetter,
                offsetof(RuntimeExceptionObject, errorNumber)),
    KQ_PROPERTY("Message", &kTypeString, stringGetter, stringSetter,
                offsetof(RuntimeExceptionObject, message)),
};

const ArrayType kStringArray = {{kTypeKindArray}, &kTypeString, 1};

const MethodEntry kExceptionMethods[] = {
    KQ_METHOD("Stack", &kStringArray, KQ_NO_TABLE, RuntimeExceptionStack),
};

const RuntimeClassDeclaration kRuntimeExceptionDeclaration = {
    "RuntimeException",
    nullptr,
    sizeof(RuntimeExceptionObject),
    KQ_ANYWHERE,
    false,
    KQ_TABLE(kExceptionProperties),
    KQ_TABLE(kExceptionMethods),
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_FUNCTION(RuntimeExceptionInitializer),
    KQ_FUNCTION(RuntimeExceptionFinalizer),
};

} // namespace

ObjectDefinition RuntimeExceptionDefinition(&kRuntimeExceptionDeclaration);

// Each subclass: a direct subclass without fields of its own.
#define KQ_EXCEPTION_CLASS(Name)                                                                   \
    namespace {                                                                                    \
    const RuntimeClassDeclaration k##Name##Declaration = {#Name,                                   \
                                                          &RuntimeExceptionDefinition,             \
                                                          sizeof(RuntimeExceptionObject),          \
                                                          KQ_ANYWHERE,                             \
                                                          false,                                   \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_FUNCTION,                          \
                                                          KQ_NO_FUNCTION};                         \
    }                                                                                              \
    ObjectDefinition Name##Definition(&k##Name##Declaration);
#include "ExceptionClassList.h"
#undef KQ_EXCEPTION_CLASS

namespace {

ObjectDefinition *const kSlotDefinitions[] = {
    &RuntimeExceptionDefinition,          &NilObjectExceptionDefinition,
    &IllegalCastExceptionDefinition,      &OutOfBoundsExceptionDefinition,
    &FunctionNotFoundExceptionDefinition,
};
RuntimeClass *gSlots[sizeof kSlotDefinitions / sizeof kSlotDefinitions[0]];

exceptions::ExceptionHook gUnhandledHook = nullptr;
exceptions::ExceptionHook gRaiseHook = nullptr;
exceptions::SymbolLookup gSymbolLookup = nullptr;

KESTstring *Concatenate(const char *a, const KESTstring *b, const char *c, const KESTstring *d) {
    std::string text = std::string(a) + kstr::Text(b) + c + kstr::Text(d);
    return kstr::Make(text.data(), static_cast<uint32_t>(text.size()), kEncodingUTF8);
}

bool RecordFrame(const void *returnAddress, void *exc) {
    KESTstring *name = nullptr;
    if (gSymbolLookup(returnAddress, &name) && kstr::Length(name) != 0)
        exceptionstack::Append(static_cast<RuntimeObject *>(exc), name);
    RuntimeUnlockString(name);
    return true;
}

// Raises a new exception made by the caller and drops the creator's reference.
void RaiseAndRelease(RuntimeObject *exc) {
    RuntimeRaiseException(exc);
    RuntimeUnlockObject(exc);
}

} // namespace

namespace exceptions {

RuntimeClass *SlotClass(Slot slot) {
    RuntimeClass *&cls = gSlots[static_cast<int>(slot)];
    if (cls == nullptr) cls = definitions::Convert(kSlotDefinitions[static_cast<int>(slot)]);
    return cls;
}

void RaiseClass(RuntimeClass *exclass) {
    KQ_ASSERT(KQ_EXCEPTION_SOURCE, exclass);
    if (exclass == nullptr) return;
    RaiseAndRelease(RuntimeNewObject(exclass));
}

void RaiseDefinition(ObjectDefinition *defn) {
    RaiseClass(definitions::Convert(defn));
}

void RaiseWithMessage(ObjectDefinition *defn, const char *message, int32_t errorNumber) {
    RuntimeObject *exc = definitions::Instantiate(defn);
    if (exc == nullptr) return;
    KESTstring *text =
        kstr::Make(message, message != nullptr ? uint32_t(std::strlen(message)) : 0, kEncodingUTF8);
    SetMessage(exc, text);
    RuntimeUnlockString(text);
    SetErrorNumber(exc, errorNumber);
    RaiseAndRelease(exc);
}

void SetMessage(RuntimeObject *exc, KESTstring *message) {
    KQ_ASSERT(KQ_EXCEPTION_SOURCE, exc);
    if (exc == nullptr) return;
    stringSetter(exc, offsetof(RuntimeExceptionObject, message), message);
}

void SetErrorNumber(RuntimeObject *exc, int32_t errorNumber) {
    KQ_ASSERT(KQ_EXCEPTION_SOURCE, exc);
    if (exc == nullptr) return;
    reinterpret_cast<RuntimeExceptionObject *>(exc)->errorNumber = errorNumber;
}

void SetUnhandledExceptionHook(ExceptionHook hook) {
    gUnhandledHook = hook;
}

void SetDebuggerRaiseHook(ExceptionHook hook) {
    gRaiseHook = hook;
}

void SetSymbolLookup(SymbolLookup lookup) {
    gSymbolLookup = lookup;
}

} // namespace exceptions

extern "C" void RuntimeExceptionInitializer(RuntimeObject *exc) {
    exceptionstack::Create(exc);
}

extern "C" void RuntimeExceptionFinalizer(RuntimeObject *exc) {
    stringSetter(exc, offsetof(RuntimeExceptionObject, message), nullptr);
    exceptionstack::Free(exc);
}

extern "C" void RuntimeRaiseException(RuntimeObject *exc) {
    if (exc == nullptr) return;
    // Only an exception has a stack to record (any object can be raised).
    if (objects::ClassInheritsFrom(exc->classPtr,
                                   exceptions::SlotClass(exceptions::Slot::RuntimeException))) {
        exceptionstack::Clear(exc);
        if (gSymbolLookup != nullptr)
            exceptions::WalkFrames(__builtin_frame_address(0), RecordFrame, exc);
    }
    if (gRaiseHook != nullptr) gRaiseHook(exc);
    exceptions::Transfer(exc);
}

extern "C" void RuntimeReraiseException(RuntimeObject *exc) {
    if (exc == nullptr) return;
    exceptions::Transfer(exc);
}

extern "C" void RaiseNilObjectException(void) {
    exceptions::RaiseClass(exceptions::SlotClass(exceptions::Slot::NilObject));
}

// The same operation under the name compiled code uses for a nil object.
extern "C" void RuntimeNilObject(void) __attribute__((alias("RaiseNilObjectException")));

extern "C" void RaiseOutOfBoundsException(void) {
    exceptions::RaiseClass(exceptions::SlotClass(exceptions::Slot::OutOfBounds));
}

extern "C" void RuntimeRaiseFunctionNotFoundException(KESTstring *functionName,
                                                      KESTstring *libraryName) {
    RuntimeObject *exc =
        RuntimeNewObject(exceptions::SlotClass(exceptions::Slot::FunctionNotFound));
    if (exc == nullptr) return;
    KESTstring *message = Concatenate("Could not load ", functionName, " from ", libraryName);
    exceptions::SetMessage(exc, message);
    RuntimeUnlockString(message);
    RaiseAndRelease(exc);
}

extern "C" void RuntimeUnhandledException(RuntimeObject *exc) {
    if (gUnhandledHook != nullptr) {
        gUnhandledHook(exc);
        return;
    }
    KQ_ASSERT_TEXT(KQ_EXCEPTION_SOURCE, false, "0", nullptr);
}
