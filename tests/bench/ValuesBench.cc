// Arrays against the standard library doing the same job:
// 100 000 appends through an array's insert slot against
// std::vector::push_back, and the same appends made as ten arrays of 10 000
// (growth is amortised when both take the same time; a quadratic step would
// make the large array ten times slower).
#include "BenchRatio.h"
#include "RuntimeArray.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int32_t kAppends = 100000;

void AppendToArray(int32_t count) {
    RuntimeArray *a = CreateArray(1, kArrayInt32, -1);
    auto insert = karray::Slot<void (*)(RuntimeArray *, int32_t, int32_t)>(a, kArrayInsert);
    for (int32_t i = 0; i < count; ++i)
        insert(a, i, i);
    benchmark::DoNotOptimize(a->data);
    RuntimeUnlockArray(a);
}

void BM_VectorAppend100000(benchmark::State &state) {
    for (auto _ : state) {
        std::vector<int32_t> v;
        for (int32_t i = 0; i < kAppends; ++i)
            v.push_back(i);
        benchmark::DoNotOptimize(v.data());
    }
}
BENCHMARK(BM_VectorAppend100000);

void BM_ArrayAppend100000(benchmark::State &state) {
    for (auto _ : state)
        AppendToArray(kAppends);
}
BENCHMARK(BM_ArrayAppend100000);
KQ_BENCH_RATIO("array: 100000 appends / std::vector", BM_VectorAppend100000, BM_ArrayAppend100000,
               4.0);

void BM_ArrayAppend10x10000(benchmark::State &state) {
    for (auto _ : state)
        for (int k = 0; k < 10; ++k)
            AppendToArray(kAppends / 10);
}
BENCHMARK(BM_ArrayAppend10x10000);
KQ_BENCH_RATIO("array: one of 100000 / ten of 10000 appends", BM_ArrayAppend10x10000,
               BM_ArrayAppend100000, 1.5);

} // namespace
