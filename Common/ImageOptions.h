// Applying the image's options: icon records become GTK+'s default window
// icons (the last record first in the list), the version record is
// registered as resource "VERS" 0.
#pragma once

#include <cstdint>

void ApplyImageOptions(const uint8_t *options, uint32_t length);
