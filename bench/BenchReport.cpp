#include "bench/BenchReport.h"

#include <cstdio>
#include <utility>

#include <unistd.h>

namespace benchreport {

// In colour only on a terminal, as the library's own table.
TargetReporter::TargetReporter(std::vector<Target> targets)
    : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular),
      targets_(std::move(targets)) {}

void TargetReporter::ReportRuns(const std::vector<Run> &runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        const std::string &name = run.run_name.function_name;
        if (run.error_occurred) {
            errors_[name] = run.error_message;
        } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
            medians_[name] = run.GetAdjustedRealTime();
        }
    }
}

double TargetReporter::median(const std::string &benchmark) const {
    const auto found = medians_.find(benchmark);
    return found == medians_.end() ? -1 : found->second;
}

bool TargetReporter::allMet() const {
    for (const Target &target : targets_) {
        const double m = median(target.benchmark);
        if (target.limit > 0 && (m < 0 || m > target.limit)) {
            return false;
        }
    }
    return true;
}

void TargetReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::fprintf(stdout, "\n| Benchmark | Measures | Median (ms) | Target (ms) | Result |\n");
    std::fprintf(stdout, "|---|---|---:|---:|---|\n");
    for (const Target &target : targets_) {
        const double m = median(target.benchmark);
        const auto error = errors_.find(target.benchmark);
        char medianText[32] = "-";
        char limitText[32] = "-";
        if (m >= 0) {
            std::snprintf(medianText, sizeof medianText, "%.3f", m);
        }
        if (target.limit > 0) {
            std::snprintf(limitText, sizeof limitText, "%.3g", target.limit);
        }
        std::string result;
        if (error != errors_.end()) {
            result = "failed: " + error->second;
        } else if (m < 0) {
            result = "not run";
        } else if (target.limit <= 0) {
            result = "reported";
        } else {
            result = m <= target.limit ? "met" : "MISSED";
        }
        std::fprintf(stdout, "| %s | %s | %s | %s | %s |\n", target.benchmark.c_str(),
                     target.what.c_str(), medianText, limitText, result.c_str());
    }
    std::fflush(stdout);
}

}  // namespace benchreport
