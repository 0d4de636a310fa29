// The process arguments as start-up stored them (GTK+ then takes its own
// options out of the same vector), and the image's first and last calls.
#pragma once

#include <cstdint>

extern int gRuntimeArgc;
extern char **gRuntimeArgv;

extern "C" {
// The image's entry code calls RuntimeInit first and RuntimeExit last.
void RuntimeInit();
int32_t RuntimeExit();
}
