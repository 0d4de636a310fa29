// Running the benchmarks of a program and printing the registered ratios.
#include "BenchRatio.h"

#include <benchmark/benchmark.h>

#include <cstdio>
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

// The console reporter, also keeping each run's time per iteration.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            mTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
            // A benchmark without arguments is also found by its function's
            // name when its time type adds to its name ("/real_time").
            if (run.run_name.args.empty())
                mTimes.emplace(run.run_name.function_name, run.GetAdjustedCPUTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const std::map<std::string, double> &Times() const { return mTimes; }

  private:
    std::map<std::string, double> mTimes;
};

} // namespace

RatioRegistration::RatioRegistration(const char *title, const char *baseline, const char *subject,
                                     double target) {
    Ratios().push_back({title, baseline, subject, target});
}

bool Initialize(int *argc, char **argv) {
    benchmark::Initialize(argc, argv);
    return !benchmark::ReportUnrecognizedArguments(*argc, argv);
}

void RunAndReport() {
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios to baselines measured in this run:\n");
    for (const Ratio &r : Ratios()) {
        auto base = reporter.Times().find(r.baseline), subject = reporter.Times().find(r.subject);
        if (base == reporter.Times().end() || subject == reporter.Times().end() ||
            base->second <= 0) {
            std::printf("  %-50s not measured\n", r.title);
            continue;
        }
        double ratio = subject->second / base->second;
        if (r.target <= 0)
            std::printf("  %-50s %6.2f\n", r.title, ratio);
        else
            std::printf("  %-50s %6.2f  (target <= %.1f: %s)\n", r.title, ratio, r.target,
                        ratio <= r.target ? "met" : "MISSED");
    }
    std::fflush(stdout);
    benchmark::Shutdown();
}

} // namespace kqbench
