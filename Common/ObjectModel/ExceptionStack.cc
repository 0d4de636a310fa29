// The stack of an exception: the names of the image's methods it passed,
// innermost first, recorded when it is raised. Kept as a private list of
// names in the exception's stack field; once the array record exists this is
// the one file that changes, and RuntimeExceptionStack returns the array.
#include "RuntimeException.h"

#include "SimpleVector.h"

#include <new>

namespace {

struct StackRecord {
    SimpleVector<KESTstring *> names;
};

StackRecord *&RecordOf(RuntimeObject *exc) {
    return *reinterpret_cast<StackRecord **>(
        &reinterpret_cast<RuntimeExceptionObject *>(exc)->stack);
}

} // namespace

namespace exceptionstack {

void Clear(RuntimeObject *exc) {
    StackRecord *record = RecordOf(exc);
    if (record == nullptr) return;
    for (KESTstring *name : record->names)
        RuntimeUnlockString(name);
    record->names.Clear();
}

void Append(RuntimeObject *exc, KESTstring *name) {
    StackRecord *&record = RecordOf(exc);
    if (record == nullptr) record = new (std::nothrow) StackRecord;
    if (record == nullptr || !record->names.Append(name)) return;
    RuntimeLockString(name);
}

uint32_t Count(RuntimeObject *exc) {
    StackRecord *record = RecordOf(exc);
    return record != nullptr ? record->names.Count() : 0;
}

KESTstring *At(RuntimeObject *exc, uint32_t index) {
    StackRecord *record = RecordOf(exc);
    return record != nullptr && index < record->names.Count() ? record->names[index] : nullptr;
}

void Free(RuntimeObject *exc) {
    Clear(exc);
    delete RecordOf(exc);
    RecordOf(exc) = nullptr;
}

} // namespace exceptionstack

// The "Stack" method. Without the array record there is no array to hand
// out: null, the empty array.
extern "C" void *RuntimeExceptionStack(RuntimeObject *) {
    return nullptr;
}
