// Fuzz target: Format (StringFormat) of any value with any pattern, in any
// of the test locales and text encodings. Input: a selector byte (see
// FuzzSupport.h), eight bytes of the value, the pattern. Besides crashes and
// leaks it checks the digits: a plain pattern ("-" then "#"/"0" places,
// maybe "." and more places) must write the number that printf rounds to
// that many decimals, as CDbl reads it back.
#include "FuzzSupport.h"

#include "SmallBlockAllocator.h"
#include "StringFunctions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The decimal places of a plain pattern, or -1 when the pattern is not one.
int PlainDecimals(const uint8_t *p, size_t n, bool *minus) {
    size_t i = 0;
    *minus = n > 0 && p[0] == '-';
    if (*minus) ++i;
    size_t integerStart = i;
    while (i < n && (p[i] == '#' || p[i] == '0'))
        ++i;
    if (i == integerStart) return -1;
    if (i == n) return 0;
    if (p[i] != '.') return -1;
    size_t decimalStart = ++i;
    while (i < n && (p[i] == '#' || p[i] == '0'))
        ++i;
    return i == n ? int(n - decimalStart) : -1;
}

void CheckDigits(double value, const uint8_t *pattern, size_t n, KESTstring *result) {
    bool minus;
    int decimals = PlainDecimals(pattern, n, &minus);
    if (decimals < 0 || !std::isfinite(value)) return;
    // printf and strtod both follow LC_NUMERIC, so they agree with each other.
    int length = std::snprintf(nullptr, 0, "%.*f", decimals, std::fabs(value));
    std::vector<char> printed(size_t(length) + 1);
    std::snprintf(printed.data(), printed.size(), "%.*f", decimals, std::fabs(value));
    double expected = std::strtod(printed.data(), nullptr);
    if (minus && value < 0) expected = -expected;
    double written = runCDbl(result);
    if (written == expected) return;
    std::fprintf(stderr, "Format(%.17g, \"%.*s\") wrote \"%s\": %.17g, not %.17g\n", value, int(n),
                 reinterpret_cast<const char *>(pattern), kstr::Text(result), written, expected);
    kqfuzz::Require(false, "plain patterns write the rounded number");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 9 || size > 0xFFFF) return 0;
    uint32_t encoding = kqfuzz::ApplySelector(data[0]);
    double value;
    std::memcpy(&value, data + 1, sizeof value);
    const uint8_t *pattern = data + 9;
    size_t n = size - 9;

    size_t before = smallblock::BytesInUse();
    KESTstring *patternString = kstr::Make(pattern, uint32_t(n), encoding);
    KESTstring *result = StringFormat(value, patternString);
    kqfuzz::CheckRecord(result, "Format");
    kqfuzz::Require(patternString == nullptr || patternString->refCount == 1,
                    "Format leaves the pattern's references as they were");
    if (encoding != kEncodingUTF16) CheckDigits(value, pattern, n, result);
    RuntimeUnlockString(result);
    RuntimeUnlockString(patternString);
    kqfuzz::Require(smallblock::BytesInUse() == before, "Format releases what it makes");
    return 0;
}
