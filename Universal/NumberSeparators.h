// The locale's thousands and decimal separators, as number formatting and
// reading use them. They are read from localeconv for the process locale
// (set from the environment at start-up) each time, so a change of locale
// takes effect at once. An empty thousands separator is ",", an empty
// decimal separator "."; both are UTF-8 text.
#pragma once

#include <cstddef>

namespace kstr {

// The texts stay valid until the locale changes or localeconv is called
// again: use them at once.
struct NumberSeparators {
    const char *thousands; // NUL-terminated
    const char *decimal;
    size_t thousandsLength;
    size_t decimalLength;
};

NumberSeparators LocaleSeparators();

} // namespace kstr
