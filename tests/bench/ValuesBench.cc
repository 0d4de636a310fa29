// Arrays and the dictionary against the standard library doing the same job:
// 100 000 appends through an array's insert slot against
// std::vector::push_back, and the same appends made as ten arrays of 10 000
// (growth is amortised when both take the same time; a quadratic step would
// make the large array ten times slower); 10 000 string keys stored in a
// Dictionary and looked up again, against std::unordered_map<std::string>.
#include "BenchRatio.h"
#include "Dictionary.h"
#include "ObjectDefinition.h"
#include "RuntimeArray.h"
#include "Variant.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
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

constexpr int kKeys = 10000;

std::string KeyText(int i) {
    return "Artikel-" + std::to_string(i * 7919);
}

void BM_UnorderedMapStoreAndLookup10000(benchmark::State &state) {
    std::vector<std::string> keys;
    for (int i = 0; i < kKeys; ++i)
        keys.push_back(KeyText(i));
    for (auto _ : state) {
        std::unordered_map<std::string, int> map;
        for (int i = 0; i < kKeys; ++i)
            map[keys[size_t(i)]] = i;
        long sum = 0;
        for (const std::string &key : keys)
            sum += map.find(key)->second;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_UnorderedMapStoreAndLookup10000);

void BM_DictionaryStoreAndLookup10000(benchmark::State &state) {
    std::vector<RuntimeObject *> keys, values;
    for (int i = 0; i < kKeys; ++i) {
        KESTstring *text = kstr::FromC(KeyText(i).c_str());
        keys.push_back(StringToVariant(text));
        RuntimeUnlockString(text);
        values.push_back(Int32ToVariant(i));
    }
    for (auto _ : state) {
        RuntimeObject *dict = definitions::Instantiate(&DictionaryDefinition);
        for (int i = 0; i < kKeys; ++i)
            dictionaryValueSetter(dict, keys[size_t(i)], values[size_t(i)]);
        long sum = 0;
        for (RuntimeObject *key : keys) {
            RuntimeObject *value = dictionaryValueGetter(dict, key);
            sum += VariantToInt32(value);
            RuntimeUnlockObject(value);
        }
        benchmark::DoNotOptimize(sum);
        RuntimeUnlockObject(dict);
    }
    for (int i = 0; i < kKeys; ++i) {
        RuntimeUnlockObject(keys[size_t(i)]);
        RuntimeUnlockObject(values[size_t(i)]);
    }
}
BENCHMARK(BM_DictionaryStoreAndLookup10000);
KQ_BENCH_RATIO("Dictionary: 10000 string keys / unordered_map", BM_UnorderedMapStoreAndLookup10000,
               BM_DictionaryStoreAndLookup10000, 4.0);

} // namespace
