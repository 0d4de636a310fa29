// The stack of an exception: the names of the image's methods it passed,
// innermost first, recorded when it is raised. Held in the exception's stack
// field as a one-dimensional array of strings, which the "Stack" method
// hands out.
#include "RuntimeArray.h"
#include "RuntimeException.h"

namespace {

RuntimeArray *&StackOf(RuntimeObject *exc) {
    return *reinterpret_cast<RuntimeArray **>(
        &reinterpret_cast<RuntimeExceptionObject *>(exc)->stack);
}

} // namespace

namespace exceptionstack {

void Create(RuntimeObject *exc) {
    if (StackOf(exc) == nullptr) StackOf(exc) = karray::Create(kArrayString, -1);
}

void Clear(RuntimeObject *exc) {
    if (StackOf(exc) != nullptr) karray::Resize(StackOf(exc), -1);
}

void Append(RuntimeObject *exc, KESTstring *name) {
    Create(exc);
    karray::Append(StackOf(exc), name);
}

uint32_t Count(RuntimeObject *exc) {
    return static_cast<uint32_t>(karray::UBound(StackOf(exc)) + 1);
}

KESTstring *At(RuntimeObject *exc, uint32_t index) {
    return karray::At<KESTstring *>(StackOf(exc), static_cast<int32_t>(index));
}

void Free(RuntimeObject *exc) {
    RuntimeUnlockArray(StackOf(exc));
    StackOf(exc) = nullptr;
}

} // namespace exceptionstack

// The "Stack" method: the array of names, with a reference for the caller.
extern "C" RuntimeArray *RuntimeExceptionStack(RuntimeObject *exc) {
    if (exc == nullptr) return nullptr;
    RuntimeLockArray(StackOf(exc));
    return StackOf(exc);
}
