// Running the benchmarks of a program and printing the registered ratios.
#include "BenchRatio.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace kqbench {
namespace {

struct Ratio {
    const char *title, *baseline, *subject;
    double target;
};

std::vector<Ratio> &Ratios() {
    static std::vector<Ratio> ratios;
    return ratios;
}

const char kInterleaving[] = "--benchmark_enable_random_interleaving";

// The console reporter, also keeping the processor time per iteration of
// every repetition of each benchmark, in the order they ran.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            mTimes[run.benchmark_name()].push_back(run.GetAdjustedCPUTime());
            // A benchmark without arguments is also found by its function's
            // name when its settings add to its name ("/iterations:10").
            if (run.run_name.args.empty() && run.run_name.function_name != run.benchmark_name())
                mTimes[run.run_name.function_name].push_back(run.GetAdjustedCPUTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const std::vector<double> *Times(const char *name) const {
        auto found = mTimes.find(name);
        return found != mTimes.end() && !found->second.empty() ? &found->second : nullptr;
    }

  private:
    std::map<std::string, std::vector<double>> mTimes;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRatio(const Ratio &r, const std::vector<double> &base,
                const std::vector<double> &subject) {
    double ratio = Median(subject) / Median(base);
    if (r.target <= 0)
        std::printf("  %-50s %6.2f", r.title, ratio);
    else
        std::printf("  %-50s %6.2f  (target <= %.1f: %s)", r.title, ratio, r.target,
                    ratio <= r.target ? "met" : "MISSED");
    size_t pairs = std::min(base.size(), subject.size());
    if (pairs > 1) {
        std::vector<double> ratios;
        for (size_t i = 0; i < pairs; ++i)
            if (base[i] > 0) ratios.push_back(subject[i] / base[i]);
        auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
        std::printf("\n  %-50s medians %.1f / %.1f, %zu repetitions: %.2f to %.2f", "",
                    Median(subject), Median(base), pairs, *low, *high);
    }
    std::printf("\n");
}

} // namespace

RatioRegistration::RatioRegistration(const char *title, const char *baseline, const char *subject,
                                     double target) {
    Ratios().push_back({title, baseline, subject, target});
}

bool Initialize(int *argc, char **argv) {
    // The arguments with interleaving switched on first, so that one given
    // on the command line decides.
    std::vector<char *> arguments(argv, argv + *argc);
    std::string interleaving = std::string(kInterleaving) + "=true";
    arguments.insert(arguments.begin() + (*argc > 0 ? 1 : 0), interleaving.data());
    arguments.push_back(nullptr);
    int count = int(arguments.size()) - 1;
    benchmark::Initialize(&count, arguments.data());
    // What the library left is the program's own arguments.
    for (int i = 0; i < count; ++i)
        argv[i] = arguments[size_t(i)];
    argv[count] = nullptr;
    *argc = count;
    return !benchmark::ReportUnrecognizedArguments(*argc, argv);
}

void RunAndReport() {
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios to baselines measured in this run:\n");
    for (const Ratio &r : Ratios()) {
        const std::vector<double> *base = reporter.Times(r.baseline);
        const std::vector<double> *subject = reporter.Times(r.subject);
        if (base == nullptr || subject == nullptr || Median(*base) <= 0) {
            std::printf("  %-50s not measured\n", r.title);
            continue;
        }
        PrintRatio(r, *base, *subject);
    }
    std::fflush(stdout);
    benchmark::Shutdown();
}

} // namespace kqbench
