// The loader: reads the application image container, places code and data,
// applies the fix-ups (runtime exports by name, shared-library functions),
// registers the resources, applies the options (window icons, version
// record), calls the image's entry point, and runs the shutdown task list
// when it returns.
#pragma once

#include <cstdint>

// Loads and runs the image of `exePath` (null: member files only). Returns
// after the image's entry code has returned and the shutdown tasks have run,
// or at once when the image is damaged (reported) or has no code (noted on
// standard error: the runtime was started alone).
void LoadAndRunImage(const char *exePath);

// The placed image, for the debugger support and the symbol lookup.
uint8_t *ImageCodeBase();
uint32_t ImageCodeLength();
uint8_t *ImageDataBase();
uint32_t ImageDataLength();

// Code address to symbol: whether `address` lies in the image's code; then
// the name of the symbol holding it ("" when none) and the distance from the
// symbol's start. Without a symbols member nothing is found.
bool ImageSymbolForAddress(const void *address, const char **name, uint32_t *distance);
