#include "NumberSeparators.h"

#include <clocale>
#include <cstring>

namespace kstr {
namespace {

// Copies `text` (or `fallback` when it is missing, empty or too long).
size_t Take(char (&out)[16], const char *text, const char *fallback) {
    if (text == nullptr || *text == 0 || std::strlen(text) >= sizeof out) text = fallback;
    std::strcpy(out, text);
    return std::strlen(out);
}

} // namespace

NumberSeparators LocaleSeparators() {
    NumberSeparators s;
    const lconv *conventions = std::localeconv();
    s.thousandsLength = Take(s.thousands, conventions ? conventions->thousands_sep : nullptr, ",");
    s.decimalLength = Take(s.decimal, conventions ? conventions->decimal_point : nullptr, ".");
    return s;
}

} // namespace kstr
