// Benchmarks that report a ratio to a baseline measured in the same run.
// A ratio names two benchmarks of the program and the largest acceptable
// ratio of their times; after all benchmarks have run, the program prints
// one line per ratio. The figures are reports, not pass/fail checks: timings
// taken under emulation only compare with each other.
//
// A benchmark may run in several repetitions (->Repetitions(n)); the
// repetitions of all benchmarks of a program run interleaved in random
// order, so that a change in the machine's load falls on baseline and
// subject alike. A ratio is then the ratio of the median times, reported
// with its spread: the lowest and highest ratio of the i-th repetitions.
#pragma once

namespace kqbench {

struct RatioRegistration {
    RatioRegistration(const char *title, const char *baseline, const char *subject, double target);
};

// Takes the benchmark options out of the arguments (interleaving is on
// unless --benchmark_enable_random_interleaving says otherwise); false
// (reported) when one is not known.
bool Initialize(int *argc, char **argv);
// Runs the benchmarks with the console reporter, then prints the ratios.
void RunAndReport();

} // namespace kqbench

// KQ_BENCH_RATIO("what", BM_Baseline, BM_Subject, 3.0); a target of 0: the
// ratio is only reported.
#define KQ_BENCH_RATIO(title, baseline, subject, target)                                           \
    static kqbench::RatioRegistration kqRatio_##baseline##_##subject(title, #baseline, #subject,   \
                                                                     target)
