#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

/// The console report, keeping each run's time per iteration so that ratios between runs can be
/// printed against their bars at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (!run.error_occurred && run.iterations > 0 && run.aggregate_name.empty())
                times[run.run_name.function_name + "/" + run.run_name.args]
                    = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    /// Prints slow / fast and whether it stays within bar; nothing when either run is missing.
    void printRatio(const std::string &what,
                    const std::string &slow,
                    const std::string &fast,
                    double bar) const
    {
        const auto a = times.find(slow);
        const auto b = times.find(fast);
        if (a == times.end() || b == times.end() || b->second <= 0)
            return;
        const double ratio = a->second / b->second;
        std::printf(
            "%s: %.2f (bar %.1f) %s\n", what.c_str(), ratio, bar, ratio <= bar ? "ok" : "MISSED");
    }

private:
    std::map<std::string, double> times;
};
