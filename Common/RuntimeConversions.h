// Number conversions called by compiled code. Every conversion from a
// floating-point value to an integer or to Currency truncates toward zero.
// Currency is a signed 64-bit count of ten-thousandths.
//
// A value outside the target's range (and NaN) gives the processor's
// "integer indefinite": the smallest signed value of the width. Negative
// values going to UInt64 wrap like their signed conversion; UInt32 takes the
// low 32 bits of the signed 64-bit conversion.
#pragma once

#include <cstdint>

extern "C" {
double RuntimeCvtSInt32ToReal64(int32_t value);
double RuntimeCvtUInt32ToReal64(uint32_t value);
double RuntimeCvtSInt64ToReal64(int64_t value);
double RuntimeCvtUInt64ToReal64(uint64_t value);

int64_t RuntimeCvtSInt32ToCurrency(int32_t value);
int64_t RuntimeCvtUInt32ToCurrency(uint32_t value);
int64_t RuntimeCvtSInt64ToCurrency(int64_t value);
int64_t RuntimeCvtUInt64ToCurrency(uint64_t value);

int32_t RuntimeCvtReal32ToSInt32(float value);
int32_t RuntimeCvtReal64ToSInt32(double value);
uint32_t RuntimeCvtReal32ToUInt32(float value);
uint32_t RuntimeCvtReal64ToUInt32(double value);
int64_t RuntimeCvtReal32ToSInt64(float value);
int64_t RuntimeCvtReal64ToSInt64(double value);
uint64_t RuntimeCvtReal32ToUInt64(float value);
uint64_t RuntimeCvtReal64ToUInt64(double value);
int64_t RuntimeCvtReal32ToCurrency(float value);
int64_t RuntimeCvtReal64ToCurrency(double value);

int32_t RuntimeCvtCurrencyToSInt32(int64_t currency);
uint32_t RuntimeCvtCurrencyToUInt32(int64_t currency);
int64_t RuntimeCvtCurrencyToSInt64(int64_t currency);
uint64_t RuntimeCvtCurrencyToUInt64(int64_t currency);
double RuntimeCvtCurrencyToReal64(int64_t currency);
}
