// Strings: Format of a price, CDbl and concatenation against the C library
// doing the same job.
#include "BenchRatio.h"
#include "KESTstring.h"
#include "StringFunctions.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const double kPrices[] = {1234.5, 12.99, 0.5, 119.0, 47.11, 8.95, 1999.0, 3.14159};
constexpr size_t kPriceCount = sizeof kPrices / sizeof kPrices[0];

void BM_SnprintfPrice(benchmark::State &state) {
    char buffer[64];
    size_t i = 0;
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "%.2f", kPrices[i++ % kPriceCount]);
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(BM_SnprintfPrice);

void BM_StringFormatPrice(benchmark::State &state) {
    KESTstring *pattern = kstr::FromC("#,##0.00");
    size_t i = 0;
    for (auto _ : state) {
        KESTstring *text = StringFormat(kPrices[i++ % kPriceCount], pattern);
        benchmark::DoNotOptimize(text);
        RuntimeUnlockString(text);
    }
    RuntimeUnlockString(pattern);
}
BENCHMARK(BM_StringFormatPrice);
KQ_BENCH_RATIO("StringFormat \"#,##0.00\" / snprintf \"%.2f\"", BM_SnprintfPrice,
               BM_StringFormatPrice, 3.0);

// The same numbers as text with the locale's decimal separator.
struct PriceTexts {
    PriceTexts() {
        for (size_t i = 0; i < kPriceCount; ++i) {
            std::snprintf(c[i], sizeof c[i], "%.2f", kPrices[i]);
            s[i] = kstr::FromC(c[i]);
        }
    }
    ~PriceTexts() {
        for (KESTstring *text : s)
            RuntimeUnlockString(text);
    }
    char c[kPriceCount][32];
    KESTstring *s[kPriceCount];
};

void BM_Strtod(benchmark::State &state) {
    PriceTexts texts;
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(std::strtod(texts.c[i++ % kPriceCount], nullptr));
}
BENCHMARK(BM_Strtod);

void BM_RunCDbl(benchmark::State &state) {
    PriceTexts texts;
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(runCDbl(texts.s[i++ % kPriceCount]));
}
BENCHMARK(BM_RunCDbl);
KQ_BENCH_RATIO("runCDbl / strtod", BM_Strtod, BM_RunCDbl, 2.0);

const char kFirst[] = "Preis: ";
const char kSecond[] = "12,99 EUR";

// The C library's way: lengths known at run time only, as for any two
// strings the program meets.
void BM_MallocConcat(benchmark::State &state) {
    const char *first = kFirst, *second = kSecond;
    benchmark::DoNotOptimize(first);
    benchmark::DoNotOptimize(second);
    size_t a = std::strlen(first), b = std::strlen(second);
    for (auto _ : state) {
        char *joined = static_cast<char *>(std::malloc(a + b + 1));
        std::memcpy(joined, first, a);
        std::memcpy(joined + a, second, b + 1);
        benchmark::DoNotOptimize(joined);
        std::free(joined);
    }
}
BENCHMARK(BM_MallocConcat);

void BM_RuntimeAddString(benchmark::State &state) {
    KESTstring *first = kstr::FromC(kFirst), *second = kstr::FromC(kSecond);
    for (auto _ : state) {
        KESTstring *joined = RuntimeAddString(first, second);
        benchmark::DoNotOptimize(joined);
        RuntimeUnlockString(joined);
    }
    RuntimeUnlockString(first);
    RuntimeUnlockString(second);
}
BENCHMARK(BM_RuntimeAddString);
KQ_BENCH_RATIO("RuntimeAddString / malloc+memcpy", BM_MallocConcat, BM_RuntimeAddString, 2.0);

} // namespace
