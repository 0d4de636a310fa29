#include "NumberSeparators.h"

#include <clocale>
#include <cstring>

namespace kstr {

NumberSeparators LocaleSeparators() {
    const lconv *conventions = std::localeconv();
    const char *thousands = conventions != nullptr ? conventions->thousands_sep : nullptr;
    const char *decimal = conventions != nullptr ? conventions->decimal_point : nullptr;
    if (thousands == nullptr || *thousands == 0) thousands = ",";
    if (decimal == nullptr || *decimal == 0) decimal = ".";
    return {thousands, decimal, std::strlen(thousands), std::strlen(decimal)};
}

} // namespace kstr
