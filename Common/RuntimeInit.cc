// The runtime's start-up state and the image's first and last calls.
#include "RuntimeArguments.h"

int gRuntimeArgc = 0;
char **gRuntimeArgv = nullptr;

extern "C" {

void RuntimeInit() {}

int32_t RuntimeExit() {
    return 0;
}

} // extern "C"
