// Number conversions: truncation toward zero with defined results outside
// the target range, and Currency in ten-thousandths.
#include "RuntimeConversions.h"

namespace {

constexpr int64_t kCurrencyScale = 10000;

int64_t TruncateToInt64(double value) {
    if (value >= -9223372036854775808.0 && value < 9223372036854775808.0)
        return static_cast<int64_t>(value);
    return INT64_MIN;
}

int32_t TruncateToInt32(double value) {
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int32_t>(value);
    return INT32_MIN;
}

uint64_t TruncateToUInt64(double value) {
    if (value >= 0 && value < 18446744073709551616.0) return static_cast<uint64_t>(value);
    return static_cast<uint64_t>(TruncateToInt64(value));
}

// Integer times 10000, wrapping like the processor's multiplication.
int64_t ScaleToCurrency(uint64_t value) {
    return static_cast<int64_t>(value * uint64_t(kCurrencyScale));
}

} // namespace

extern "C" {

double RuntimeCvtSInt32ToReal64(int32_t value) {
    return value;
}
double RuntimeCvtUInt32ToReal64(uint32_t value) {
    return value;
}
double RuntimeCvtSInt64ToReal64(int64_t value) {
    return static_cast<double>(value);
}
double RuntimeCvtUInt64ToReal64(uint64_t value) {
    return static_cast<double>(value);
}

int64_t RuntimeCvtSInt32ToCurrency(int32_t value) {
    return int64_t(value) * kCurrencyScale;
}
int64_t RuntimeCvtUInt32ToCurrency(uint32_t value) {
    return int64_t(value) * kCurrencyScale;
}
int64_t RuntimeCvtSInt64ToCurrency(int64_t value) {
    return ScaleToCurrency(static_cast<uint64_t>(value));
}
int64_t RuntimeCvtUInt64ToCurrency(uint64_t value) {
    return ScaleToCurrency(value);
}

int32_t RuntimeCvtReal32ToSInt32(float value) {
    return TruncateToInt32(value);
}
int32_t RuntimeCvtReal64ToSInt32(double value) {
    return TruncateToInt32(value);
}
uint32_t RuntimeCvtReal32ToUInt32(float value) {
    return static_cast<uint32_t>(TruncateToInt64(value));
}
uint32_t RuntimeCvtReal64ToUInt32(double value) {
    return static_cast<uint32_t>(TruncateToInt64(value));
}
int64_t RuntimeCvtReal32ToSInt64(float value) {
    return TruncateToInt64(value);
}
int64_t RuntimeCvtReal64ToSInt64(double value) {
    return TruncateToInt64(value);
}
uint64_t RuntimeCvtReal32ToUInt64(float value) {
    return TruncateToUInt64(value);
}
uint64_t RuntimeCvtReal64ToUInt64(double value) {
    return TruncateToUInt64(value);
}
int64_t RuntimeCvtReal32ToCurrency(float value) {
    return TruncateToInt64(double(value) * 10000.0);
}
int64_t RuntimeCvtReal64ToCurrency(double value) {
    return TruncateToInt64(value * 10000.0);
}

int32_t RuntimeCvtCurrencyToSInt32(int64_t currency) {
    return static_cast<int32_t>(static_cast<uint32_t>(currency / kCurrencyScale));
}
uint32_t RuntimeCvtCurrencyToUInt32(int64_t currency) {
    return static_cast<uint32_t>(currency / kCurrencyScale);
}
int64_t RuntimeCvtCurrencyToSInt64(int64_t currency) {
    return currency / kCurrencyScale;
}
uint64_t RuntimeCvtCurrencyToUInt64(int64_t currency) {
    return static_cast<uint64_t>(currency / kCurrencyScale);
}
double RuntimeCvtCurrencyToReal64(int64_t currency) {
    return static_cast<double>(currency) / 10000.0;
}

} // extern "C"
