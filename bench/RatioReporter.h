// The console output of Google Benchmark, and afterwards the ratios of chosen runs, so that a
// reader sees them without working them out from the table.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace kavelmark::bench
{

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0)
            {
                const auto iterations = static_cast<double>(run.iterations);
                seconds_[run.benchmark_name()] = {run.real_accumulated_time / iterations,
                                                  run.cpu_accumulated_time / iterations};
            }
        }
    }

    // "label: 1.23 (real time), 1.21 (cpu time)" for the runs named (as in the table's first
    // column), or that they did not both run; note follows in brackets when given.
    void PrintRatio(const std::string& label, const std::string& numerator, const std::string& denominator,
                    const std::string& note = "") const
    {
        const auto top = seconds_.find(numerator);
        const auto bottom = seconds_.find(denominator);
        if (top == seconds_.end() || bottom == seconds_.end() || bottom->second.real <= 0 || bottom->second.cpu <= 0)
        {
            std::printf("%s: not measured (%s and %s did not both run)\n", label.c_str(), numerator.c_str(),
                        denominator.c_str());
            return;
        }
        std::printf("%s: %.2f (real time), %.2f (cpu time)%s\n", label.c_str(), top->second.real / bottom->second.real,
                    top->second.cpu / bottom->second.cpu, note.empty() ? "" : ("  [" + note + "]").c_str());
    }

private:
    struct Seconds
    {
        double real;
        double cpu;
    };
    std::map<std::string, Seconds> seconds_;
};

} // namespace kavelmark::bench
