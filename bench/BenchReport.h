// The console table of a benchmark program followed by a summary of the medians against the
// times the program has to meet, as a markdown table.

#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace benchreport {

// The most a benchmark's median may take, in the benchmark's own time unit (ms here); 0 when the
// benchmark is only reported.
struct Target {
    std::string benchmark;  // function name as registered, e.g. "BM_HamLookup"
    std::string what;       // what it measures, for the summary
    double limit = 0;
};

class TargetReporter : public benchmark::ConsoleReporter {
public:
    explicit TargetReporter(std::vector<Target> targets);

    void ReportRuns(const std::vector<Run> &runs) override;
    void Finalize() override;

    // The median of a benchmark; negative when it did not run or failed.
    double median(const std::string &benchmark) const;
    // Whether every benchmark with a limit ran and met it.
    bool allMet() const;

private:
    std::vector<Target> targets_;
    std::map<std::string, double> medians_;
    std::map<std::string, std::string> errors_;
};

}  // namespace benchreport
