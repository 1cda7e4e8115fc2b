#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// The console report, followed by lines a benchmark program prints from the
// times of its runs (adjusted real time, in each benchmark's own unit), keyed
// by the benchmark's name. With repetitions the median of them is taken, so a
// noisy machine's outliers do not decide a ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    using Times = std::map<std::string, double>;
    explicit RatioReporter(std::function<void(Times&)> summary) : summary_(std::move(summary)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const std::string name = r.run_name.function_name;
            if (r.run_type == Run::RT_Aggregate) {
                if (r.aggregate_name == "median") {
                    times_[name] = r.GetAdjustedRealTime();
                    medians_.insert(name);
                }
            } else if (!medians_.count(name)) {
                times_[name] = r.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        summary_(times_);
    }

  private:
    std::function<void(Times&)> summary_;
    Times times_;
    std::set<std::string> medians_;
};

// Runs the benchmarks named on the command line with such a report.
inline int RunWithSummary(int argc, char** argv,
                          std::function<void(RatioReporter::Times&)> summary) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(summary));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
