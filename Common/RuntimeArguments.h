// The process arguments as start-up stored them (GTK+ then takes its own
// options out of the same vector), and the image's first and last calls.
#pragma once

#include <cstdint>

extern int gRuntimeArgc;
extern char **gRuntimeArgv;

// The runtime's initialisation at start-up: the unhandled-exception report
// as the exception model's hook, the image's symbols for exception stacks,
// and 256 KiB of checked stack below the current position for the main
// thread.
void RuntimeInitDefaults();

// The first steps of a process that runs an image: the arguments stored,
// GTK+ prepared when a display can be opened (a missing display is not
// fatal: console images run without one) with the key snooper and the
// helper layer, then the runtime's initialisation.
void RuntimeStartUp(int argc, char **argv);

extern "C" {
// The image's entry code calls RuntimeInit first and RuntimeExit last.
void RuntimeInit();
int32_t RuntimeExit();
}
