// 64-bit integer and Currency arithmetic that compiled code calls instead
// of inlining it. Results wrap to 64 bits like the processor's arithmetic;
// the smallest signed value divided by -1 is itself (its remainder 0), as
// in the compiled 32-bit division. A zero divisor raises a
// RuntimeException "Division by zero", as the compiled division does, and
// the call then answers 0.
//
// Currency is a signed count of ten-thousandths: a product is
// a × b / 10000 and a quotient a × 10000 / b, both computed exactly with a
// 128-bit intermediate and truncated toward zero.
#pragma once

#include <cstdint>

extern "C" {
int64_t RuntimeMulSInt64(int64_t a, int64_t b);
uint64_t RuntimeMulUInt64(uint64_t a, uint64_t b);
int64_t RuntimeDivSInt64(int64_t a, int64_t b);
uint64_t RuntimeDivUInt64(uint64_t a, uint64_t b);
int64_t RuntimeModSInt64(int64_t a, int64_t b);
uint64_t RuntimeModUInt64(uint64_t a, uint64_t b);
int64_t RuntimeMulCurrency(int64_t a, int64_t b);
int64_t RuntimeDivCurrency(int64_t a, int64_t b);
}
