// Object model: creating and releasing an object, locking and unlocking it,
// and raising an exception that lands five compiled frames up, each against
// the C library or C++ doing the nearest job.
#include "BenchRatio.h"
#include "CompiledFrames.h"
#include "RuntimeException.h"
#include "StackCheck.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <stdexcept>

namespace {

constexpr uint32_t kInstanceSize = 40; // header and four fields

RuntimeClass *BenchClass() {
    static RuntimeClass *cls = [] {
        RuntimeClass *c = RuntimeNewClass(nullptr, 0, 0, 0, 0, 0);
        c->name = kstr::FromC("Bench");
        c->instanceSize = kInstanceSize;
        return c;
    }();
    return cls;
}

void BM_MallocFree(benchmark::State &state) {
    for (auto _ : state) {
        void *block = std::malloc(kInstanceSize);
        benchmark::DoNotOptimize(block);
        std::free(block);
    }
}
BENCHMARK(BM_MallocFree);

void BM_ObjectCreateRelease(benchmark::State &state) {
    RuntimeClass *cls = BenchClass();
    for (auto _ : state) {
        RuntimeObject *object = RuntimeNewObject(cls);
        benchmark::DoNotOptimize(object);
        RuntimeUnlockObject(object);
    }
}
BENCHMARK(BM_ObjectCreateRelease);
KQ_BENCH_RATIO("object create + release / malloc + free", BM_MallocFree, BM_ObjectCreateRelease,
               2.0);

// The baseline of locking: two cdecl calls that only count, as an ideal
// entry point would (a null test, a zero test and the arithmetic).
struct Counted {
    int32_t count;
};
__attribute__((noipa)) void Increment(Counted *c) {
    if (c != nullptr && c->count != 0) ++c->count;
}
__attribute__((noipa)) void Decrement(Counted *c) {
    if (c != nullptr && c->count > 0) --c->count;
}

void BM_IncrementDecrement(benchmark::State &state) {
    Counted counted{1};
    for (auto _ : state) {
        Increment(&counted);
        Decrement(&counted);
        benchmark::DoNotOptimize(counted.count);
    }
}
BENCHMARK(BM_IncrementDecrement);

void BM_LockUnlock(benchmark::State &state) {
    RuntimeObject *object = RuntimeNewObject(BenchClass());
    for (auto _ : state) {
        RuntimeLockObject(object);
        RuntimeUnlockObject(object);
        benchmark::DoNotOptimize(object->refCount);
    }
    RuntimeUnlockObject(object);
}
BENCHMARK(BM_LockUnlock);
KQ_BENCH_RATIO("lock + unlock / two calls that count", BM_IncrementDecrement, BM_LockUnlock, 2.0);

// Five frames: the innermost throws, the outermost catches, the three between
// have locals to destroy (as compiled methods have locals to release).
struct Local {
    int32_t *count;
    ~Local() { ++*count; }
};

__attribute__((noinline)) void ThrowingFrame(int depth, int32_t *count) {
    Local local{count};
    if (depth == 0) throw std::runtime_error("nil");
    ThrowingFrame(depth - 1, count);
    benchmark::DoNotOptimize(local);
}

void BM_CppThrowCatch5Frames(benchmark::State &state) {
    int32_t count = 0;
    for (auto _ : state) {
        try {
            ThrowingFrame(3, &count);
        } catch (const std::runtime_error &) {
            benchmark::DoNotOptimize(count);
        }
    }
}
BENCHMARK(BM_CppThrowCatch5Frames);

// CatchCall -> Relay -> Relay -> Relay -> Relay -> RaiseNilObjectException:
// each Relay's cleanup handler takes the exception and passes it on.
extern "C" void RaiseNil(const void *) {
    RaiseNilObjectException();
}

void BM_RaiseAndLand5Frames(benchmark::State &state) {
    KESTInitStackChecker(0x40000, 0); // the frame walk ends at this frame
    const CompiledLink raise = {KQ_CODE(RaiseNil), nullptr};
    const CompiledLink l3 = {KQ_CODE(Relay), &raise};
    const CompiledLink l2 = {KQ_CODE(Relay), &l3};
    const CompiledLink l1 = {KQ_CODE(Relay), &l2};
    for (auto _ : state) {
        RuntimeObject *exc = CatchCall(KQ_CODE(Relay), &l1);
        benchmark::DoNotOptimize(exc);
        RuntimeUnlockObject(exc);
    }
}
BENCHMARK(BM_RaiseAndLand5Frames);
KQ_BENCH_RATIO("raise and land 5 frames up / C++ throw and catch", BM_CppThrowCatch5Frames,
               BM_RaiseAndLand5Frames, 1.0);

} // namespace
