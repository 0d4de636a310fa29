// Reading numbers from text (Val, CDbl, CLong) and writing them (Str).
#include "StringNumber.h"

#include "ByteBuffer.h"
#include "RuntimeConversions.h"
#include "StringFunctions.h"
#include "TextEncodingUtil.h"

#include <cinttypes>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace kstr {
namespace {

bool IsSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

// strtod of the "C" locale, whose decimal point is "." whatever the process
// locale is.
double ParseC(const char *text) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return cLocale != locale_t(0) ? strtod_l(text, nullptr, cLocale) : std::strtod(text, nullptr);
}

// "&h", "&o", "&b" followed by digits of that radix, into a signed 32-bit
// integer (wrapping); any other letter after "&" reads 0.
double ReadRadix(const uint8_t *p, size_t n) {
    int radix;
    switch (p[1]) {
    case 'h':
    case 'H':
        radix = 16;
        break;
    case 'o':
    case 'O':
        radix = 8;
        break;
    case 'b':
    case 'B':
        radix = 2;
        break;
    default:
        return 0;
    }
    uint32_t value = 0;
    for (size_t i = 2; i < n; ++i) {
        uint8_t c = p[i];
        int digit = IsDigit(c)             ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : radix;
        if (digit >= radix) break;
        value = value * uint32_t(radix) + uint32_t(digit);
    }
    return double(int32_t(value));
}

// The longest decimal number at the start of p[0..n) (after white space);
// p[n] is NUL. Once the start is known to hold a number, strtod reads the
// same one, except that it would take "0x" for a hexadecimal prefix.
double ReadDecimal(const uint8_t *p, size_t n) {
    size_t i = 0;
    while (i < n && IsSpace(p[i]))
        ++i;
    size_t start = i;
    if (i < n && (p[i] == '+' || p[i] == '-')) ++i;
    size_t integerStart = i, digits = 0;
    for (; i < n && IsDigit(p[i]); ++i)
        ++digits;
    size_t integerEnd = i;
    if (i < n && p[i] == '.')
        for (++i; i < n && IsDigit(p[i]); ++i)
            ++digits;
    if (digits == 0) return 0;
    if (integerEnd == integerStart + 1 && p[integerStart] == '0' &&
        (p[integerEnd] == 'x' || p[integerEnd] == 'X'))
        return 0;
    return ParseC(reinterpret_cast<const char *>(p + start));
}

// Val of p[0..n); p[n] is NUL.
double ValBytes(const uint8_t *p, size_t n) {
    if (n == 0) return 0;
    if (n >= 2 && p[0] == '&') return ReadRadix(p, n);
    return ReadDecimal(p, n);
}

// Whether p[0..n) is a number in the wider syntax of IsNumeric.
bool IsNumberText(const uint8_t *p, size_t n) {
    size_t i = 0;
    while (i < n && IsSpace(p[i]))
        ++i;
    if (i < n && (p[i] == '+' || p[i] == '-')) ++i;
    size_t digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (IsDigit(p[i])) {
            ++digits;
        } else if (p[i] == '.' && !point) {
            point = true;
        } else if (p[i] == ',' && i > 0 && IsDigit(p[i - 1]) && i + 1 < n && IsDigit(p[i + 1])) {
            continue;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < n && std::strchr("eEdD", p[i]) != nullptr) {
        ++i;
        if (i < n && (p[i] == '+' || p[i] == '-')) ++i;
        if (i == n || !IsDigit(p[i])) return false;
        while (i < n && IsDigit(p[i]))
            ++i;
    }
    while (i < n && IsSpace(p[i]))
        ++i;
    return i == n;
}

// Text of the Unicode family other than UTF-8 is read in UTF-8.
StringRef Readable(const KESTstring *s) {
    uint32_t encoding = Encoding(s);
    if (textenc::IsUnicodeFamily(encoding) && encoding != kEncodingUTF8)
        return StringRef(ToUTF8(const_cast<KESTstring *>(s)));
    return StringRef::Shared(const_cast<KESTstring *>(s));
}

// p[0..n) without the thousands separators and with "." for the decimal
// separators, NUL-terminated, into `out` (n + 1 bytes); returns its length.
size_t Normalize(const uint8_t *p, size_t n, const NumberSeparators &separators, uint8_t *out) {
    const char *thousands = separators.thousands, *decimal = separators.decimal;
    size_t thousandsLength = separators.thousandsLength, decimalLength = separators.decimalLength;
    size_t length = 0;
    for (size_t i = 0; i < n;) {
        uint8_t c = p[i];
        if (c == uint8_t(thousands[0]) && n - i >= thousandsLength &&
            std::memcmp(p + i, thousands, thousandsLength) == 0) {
            i += thousandsLength;
        } else if (c == uint8_t(decimal[0]) && n - i >= decimalLength &&
                   std::memcmp(p + i, decimal, decimalLength) == 0) {
            out[length++] = '.';
            i += decimalLength;
        } else {
            out[length++] = c;
            ++i;
        }
    }
    out[length] = 0;
    return length;
}

// Digits before the point of a magnitude below 10^7 (1 for zero).
int IntegerDigits(double magnitude) {
    static const double kPowersOfTen[] = {1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    int digits = 1;
    for (double power : kPowersOfTen)
        if (magnitude >= power) ++digits;
    return digits;
}

KESTstring *StrInteger(const char *format, ...) __attribute__((format(printf, 1, 2)));
KESTstring *StrInteger(const char *format, ...) {
    char text[32];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return FromC(text);
}

} // namespace

double Val(const KESTstring *s) {
    StringRef text = Readable(s);
    return ValBytes(Bytes(text.Get()), Length(text.Get()));
}

double ValChecked(const KESTstring *s, bool *valid) {
    StringRef text = Readable(s);
    *valid = IsNumberText(Bytes(text.Get()), Length(text.Get()));
    return ValBytes(Bytes(text.Get()), Length(text.Get()));
}

double CDbl(const KESTstring *s) {
    if (Length(s) == 0) return 0;
    StringRef text = Readable(s);
    uint32_t n = Length(text.Get());
    uint8_t small[64];
    uint8_t *normalized = n < sizeof small ? small : static_cast<uint8_t *>(std::malloc(n + 1));
    if (normalized == nullptr) return 0;
    size_t length = Normalize(Bytes(text.Get()), n, LocaleSeparators(), normalized);
    double value = ValBytes(normalized, length);
    if (normalized != small) std::free(normalized);
    return value;
}

void PrintNumber(double value, int decimals, bool scientific, const char *decimalPoint,
                 ByteBuffer *out) {
    if (value == 0) value = 0; // no "-0"
    const char *format = scientific ? "%.*e" : "%.*f";
    char small[64];
    char *text = small;
    int n = std::snprintf(small, sizeof small, format, decimals, value);
    if (n < 0) return;
    if (size_t(n) >= sizeof small) {
        text = static_cast<char *>(std::malloc(size_t(n) + 1));
        if (text == nullptr) return;
        std::snprintf(text, size_t(n) + 1, format, decimals, value);
    }
    size_t start = out->Size();
    const char *point = *decimalPoint != 0 ? std::strstr(text, decimalPoint) : nullptr;
    if (point != nullptr) {
        out->Append(text, size_t(point - text));
        out->Append(uint8_t('.'));
        out->Append(point + std::strlen(decimalPoint));
    } else {
        out->Append(text);
    }
    if (text != small) std::free(text);
    if (!scientific) return;
    // "e+05" -> "e+5": a positive exponent loses its leading zero.
    const uint8_t *printed = out->Data() + start;
    size_t length = out->Size() - start;
    for (size_t i = 0; i + 2 < length; ++i) {
        if (printed[i] == 'e' && printed[i + 1] == '+' && printed[i + 2] == '0') {
            ByteBuffer rest;
            rest.Append(printed + i + 3, length - i - 3);
            out->Truncate(length - i - 2);
            out->Append(rest.Data(), rest.Size());
            break;
        }
    }
}

KESTstring *StrDouble(double value, bool localeDecimal) {
    if (std::isnan(value)) return FromC("NAN");
    if (std::isinf(value)) return FromC(value > 0 ? "INF" : "-INF");
    NumberSeparators separators = LocaleSeparators();
    double magnitude = std::fabs(value);
    ByteBuffer text;
    if (magnitude == 0 || (magnitude >= 0.00001 && magnitude <= 1000000)) {
        int decimals = 7 - IntegerDigits(magnitude);
        PrintNumber(value, decimals > 0 ? decimals : 0, false, separators.decimal, &text);
        if (decimals > 0) {
            size_t zeros = 0;
            while (zeros < text.Size() && text.Data()[text.Size() - 1 - zeros] == '0')
                ++zeros;
            text.Truncate(zeros);
            if (text.Size() != 0 && text.Data()[text.Size() - 1] == '.') text.Truncate(1);
        }
    } else {
        PrintNumber(value, 6, true, separators.decimal, &text);
    }
    const void *point = std::memchr(text.Data(), '.', text.Size());
    if (!localeDecimal || point == nullptr) return text.MakeString(kEncodingASCII);
    // The separator comes from the locale: UTF-8 text.
    size_t at = size_t(static_cast<const uint8_t *>(point) - text.Data());
    ByteBuffer local;
    local.Append(text.Data(), at);
    local.Append(separators.decimal, separators.decimalLength);
    local.Append(text.Data() + at + 1, text.Size() - at - 1);
    return local.MakeString(kEncodingUTF8);
}

} // namespace kstr

extern "C" double StringVal(KESTstring *s) {
    return kstr::Val(s);
}

extern "C" double runCDbl(KESTstring *s) {
    return kstr::CDbl(s);
}

extern "C" int32_t runCLong(KESTstring *s) {
    return RuntimeCvtReal64ToSInt32(kstr::CDbl(s));
}

extern "C" KESTstring *StringStrDouble(double value) {
    return kstr::StrDouble(value, false);
}

extern "C" KESTstring *StringStrSingle(float value) {
    return kstr::StrDouble(value, false);
}

extern "C" KESTstring *StringStrInt8(int8_t value) {
    return kstr::StrInteger("%d", int(value));
}

extern "C" KESTstring *StringStrUInt8(uint8_t value) {
    return kstr::StrInteger("%u", unsigned(value));
}

extern "C" KESTstring *StringStrInt16(int16_t value) {
    return kstr::StrInteger("%d", int(value));
}

extern "C" KESTstring *StringStrUInt16(uint16_t value) {
    return kstr::StrInteger("%u", unsigned(value));
}

extern "C" KESTstring *StringStrInt32(int32_t value) {
    return kstr::StrInteger("%" PRId32, value);
}

extern "C" KESTstring *StringStrUInt32(uint32_t value) {
    return kstr::StrInteger("%" PRIu32, value);
}

extern "C" KESTstring *StringStrInt64(int64_t value) {
    return kstr::StrInteger("%" PRId64, value);
}

extern "C" KESTstring *StringStrUInt64(uint64_t value) {
    return kstr::StrInteger("%" PRIu64, value);
}
