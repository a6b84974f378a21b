#pragma once

// What the benchmark programs share: a reporter that keeps each benchmark's time
// and throughput for the summary the program prints after the table.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vantor::bench {

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find('/'));
            m_milliseconds[name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
            const auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end()) {
                m_bytesPerSecond[name] = rate->second.value;
            }
        }
    }

    // Real time per iteration in milliseconds, by benchmark name ("BM_Load").
    std::map<std::string, double> m_milliseconds;
    // Bytes per second, for benchmarks that count bytes.
    std::map<std::string, double> m_bytesPerSecond;
};

// Runs the benchmarks the command line selects and returns what they measured;
// false when the arguments were not understood.
inline bool RunBenchmarks(int& argc, char** argv, SummaryReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return false;
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}

}  // namespace vantor::bench
