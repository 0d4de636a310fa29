// The runtime's start-up state and the image's first and last calls.
#include "RuntimeArguments.h"

#include "KESTstring.h"
#include "RuntimeException.h"
#include "StackCheck.h"
#include "UnhandledException.h"
#include "loaderX86.h"

int gRuntimeArgc = 0;
char **gRuntimeArgv = nullptr;

namespace {

constexpr uint32_t kMainThreadStack = 262144;

bool ImageSymbol(const void *address, KESTstring **name) {
    const char *text;
    uint32_t distance;
    if (!ImageSymbolForAddress(address, &text, &distance)) return false;
    *name = *text != 0 ? kstr::FromC(text) : nullptr;
    return true;
}

} // namespace

void RuntimeInitDefaults() {
    exceptions::SetUnhandledExceptionHook(UnhandledExceptionReport);
    exceptions::SetSymbolLookup(ImageSymbol);
    KESTInitStackChecker(kMainThreadStack, 0);
}

extern "C" {

void RuntimeInit() {}

int32_t RuntimeExit() {
    return 0;
}

} // extern "C"
