// The intrinsic function list (see IntrinsicFunction.h).
#include "IntrinsicFunction.h"

#include "RelocEntry.h"
#include "RuntimeErrorReport.h"
#include "SimpleVector.h"

#include <cstring>

namespace {

const char kSource[] = "Common/intrinsicFunction";

SimpleVector<IntrinsicFunction *> &List() {
    static SimpleVector<IntrinsicFunction *> list;
    return list;
}

// The number of parameter codes after the "%" of a signature: each code is
// one letter, a letter and a width digit (i4, f8), "o<Name>"/"t<Name>", or
// "A" with dimensions and an element code.
uint32_t CountParameters(const char *signature) {
    const char *p = std::strchr(signature, '%');
    uint32_t count = 0;
    for (p = p != nullptr ? p + 1 : ""; *p != 0; ++count) {
        while (*p == 'A' || *p == 'a') { // array: dimensions, then the element
            ++p;
            while (*p >= '0' && *p <= '9')
                ++p;
        }
        if (*p == 'o' || *p == 't') {
            const char *close = std::strchr(p, '>');
            p = close != nullptr ? close + 1 : p + std::strlen(p);
        } else if (*p != 0) {
            ++p;
            while (*p >= '0' && *p <= '9')
                ++p;
        }
    }
    return count;
}

} // namespace

void RegisterIntrinsicFunction(IntrinsicFunction *item) {
    KQ_ASSERT(kSource, item);
    if (item == nullptr) return;
    List().Append(item);
    if (item->entryPoint != nullptr && item->entryPointName != nullptr)
        RelocAdd(item->entryPointName, item->entryPoint);
    if (item->assignEntryPoint != nullptr && item->assignEntryPointName != nullptr)
        RelocAdd(item->assignEntryPointName, item->assignEntryPoint);
}

void RegisterIntrinsicFunctions(IntrinsicFunction *items, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        RegisterIntrinsicFunction(&items[i]);
}

void RegisterRuntimeIntrinsicFunctions() {
    static IntrinsicFunction *records = nullptr;
    if (records != nullptr) return;
    records = new IntrinsicFunction[kIntrinsicFunctionRowCount];
    for (uint32_t i = 0; i < kIntrinsicFunctionRowCount; ++i) {
        const IntrinsicFunctionRow &row = kIntrinsicFunctionRows[i];
        records[i] = IntrinsicFunction{row.name,
                                       nullptr,
                                       CountParameters(row.signature),
                                       row.entryPoint != nullptr ? row.entryPoint : row.fallback,
                                       row.entryPointName,
                                       row.signature,
                                       nullptr,
                                       nullptr};
    }
    RegisterIntrinsicFunctions(records, kIntrinsicFunctionRowCount);
}

uint32_t IntrinsicFunctionCount() {
    return List().Count();
}

IntrinsicFunction *IntrinsicFunctionAt(uint32_t index) {
    return index < List().Count() ? List()[index] : nullptr;
}

IntrinsicFunction *FindIntrinsicFunction(const char *name) {
    for (IntrinsicFunction *f : List())
        if (name != nullptr && f->name != nullptr && std::strcmp(f->name, name) == 0) return f;
    return nullptr;
}
