// The runtime's intrinsic global functions ("Speak" -> RuntimeSpeak, ...):
// the records the compiler's manifest and the export table are built from.
// The rows are generated from Common/IntrinsicFunctions.list; the records are
// made from them on first use and registered in list order.
#pragma once

#include <cstdint>

struct IntrinsicFunctionRow {
    const char *name;
    const char *entryPointName;
    void *entryPoint;      // null when no module implements it yet
    void *fallback;        // reports the missing entry point
    const char *signature; // result code "%" parameter codes
};

extern const uint32_t kIntrinsicFunctionRowCount;
extern const IntrinsicFunctionRow kIntrinsicFunctionRows[];

// One intrinsic function. Its result and parameters are described by
// `signature` (type codes); `resultType` is the class definition of an object
// result once that class exists in the runtime.
struct IntrinsicFunction {
    const char *name;
    const void *resultType;
    uint32_t parameterCount;
    void *entryPoint;
    const char *entryPointName;
    const char *signature;
    void *assignEntryPoint;
    const char *assignEntryPointName;
};

// Registers one record (a null record is reported): appends it to the list
// and adds its entry points to the export table.
void RegisterIntrinsicFunction(IntrinsicFunction *item);
void RegisterIntrinsicFunctions(IntrinsicFunction *items, uint32_t count);
// Builds the runtime's own records from the rows (once) and registers them.
void RegisterRuntimeIntrinsicFunctions();

uint32_t IntrinsicFunctionCount();
IntrinsicFunction *IntrinsicFunctionAt(uint32_t index);
// The first record named exactly `name`, or null.
IntrinsicFunction *FindIntrinsicFunction(const char *name);
