// 64-bit integer and Currency arithmetic (see RuntimeArithmetic64.h). The
// i386 compiler has no 128-bit integers: the Currency operations multiply
// and divide magnitudes held as two 64-bit halves.
#include "RuntimeArithmetic64.h"

#include "RuntimeException.h"

namespace {

constexpr uint64_t kCurrencyScale = 10000;

struct U128 {
    uint64_t hi, lo;
};

U128 Multiply(uint64_t a, uint64_t b) {
    uint64_t aLo = uint32_t(a), aHi = a >> 32, bLo = uint32_t(b), bHi = b >> 32;
    uint64_t lowLow = aLo * bLo, lowHigh = aLo * bHi, highLow = aHi * bLo, highHigh = aHi * bHi;
    uint64_t middle = (lowLow >> 32) + uint32_t(lowHigh) + uint32_t(highLow);
    return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
            (middle << 32) | uint32_t(lowLow)};
}

// The quotient of a 128-bit value by a non-zero divisor, truncated; only
// its low 64 bits are kept (a larger quotient wraps).
uint64_t Divide(U128 n, uint64_t divisor) {
    uint64_t remainder = 0, quotient = 0;
    for (int bit = 127; bit >= 0; --bit) {
        uint64_t next = bit >= 64 ? (n.hi >> (bit - 64)) & 1 : (n.lo >> bit) & 1;
        bool carry = remainder >> 63;
        remainder = (remainder << 1) | next;
        quotient <<= 1;
        if (carry || remainder >= divisor) {
            remainder -= divisor;
            quotient |= 1;
        }
    }
    return quotient;
}

uint64_t Magnitude(int64_t value) {
    return value < 0 ? 0 - uint64_t(value) : uint64_t(value);
}

int64_t Signed(uint64_t magnitude, bool negative) {
    return int64_t(negative ? 0 - magnitude : magnitude);
}

bool ZeroDivisor(uint64_t divisor) {
    if (divisor != 0) return false;
    exceptions::RaiseWithMessage(&RuntimeExceptionDefinition, "Division by zero", 0);
    return true;
}

} // namespace

extern "C" {

int64_t RuntimeMulSInt64(int64_t a, int64_t b) {
    return int64_t(uint64_t(a) * uint64_t(b));
}

uint64_t RuntimeMulUInt64(uint64_t a, uint64_t b) {
    return a * b;
}

int64_t RuntimeDivSInt64(int64_t a, int64_t b) {
    if (ZeroDivisor(uint64_t(b))) return 0;
    if (b == -1) return int64_t(0 - uint64_t(a));
    return a / b;
}

uint64_t RuntimeDivUInt64(uint64_t a, uint64_t b) {
    return ZeroDivisor(b) ? 0 : a / b;
}

int64_t RuntimeModSInt64(int64_t a, int64_t b) {
    if (ZeroDivisor(uint64_t(b))) return 0;
    return b == -1 ? 0 : a % b;
}

uint64_t RuntimeModUInt64(uint64_t a, uint64_t b) {
    return ZeroDivisor(b) ? 0 : a % b;
}

int64_t RuntimeMulCurrency(int64_t a, int64_t b) {
    uint64_t magnitude = Divide(Multiply(Magnitude(a), Magnitude(b)), kCurrencyScale);
    return Signed(magnitude, (a < 0) != (b < 0));
}

int64_t RuntimeDivCurrency(int64_t a, int64_t b) {
    if (ZeroDivisor(uint64_t(b))) return 0;
    uint64_t magnitude = Divide(Multiply(Magnitude(a), kCurrencyScale), Magnitude(b));
    return Signed(magnitude, (a < 0) != (b < 0));
}

} // extern "C"
