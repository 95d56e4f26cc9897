// Runs the benchmarks, then prints the figures that their times give.
#include <benchmark/benchmark.h>

#include <iostream>
#include <thread>

#include "figure_table.h"

namespace {

// Shows Google Benchmark's own report on standard error and keeps every time.
class collecting_reporter : public benchmark::ConsoleReporter {
public:
    benchmark_times times;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            // Aggregates (mean, median) replace the single runs they summarise.
            std::string name = run.benchmark_name();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            if (run.run_type == Run::RT_Aggregate) name = run.run_name.str();
            times[name] = run.GetAdjustedRealTime() * to_nanoseconds(run.time_unit);
        }
    }

private:
    static double to_nanoseconds(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kNanosecond: return 1;
            case benchmark::kMicrosecond: return 1e3;
            case benchmark::kMillisecond: return 1e6;
            case benchmark::kSecond: return 1e9;
        }
        return 1;
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The program always runs four threads, and the C library's mutexes skip
    // their atomic operations while a process has only one: one thread started
    // and ended first makes the locks cost here what they cost in the program.
    std::thread([] {}).join();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    collecting_reporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& make : registered_figure_makers()) {
        for (const figure& f : make(reporter.times)) print_figure(f);
    }
    benchmark::Shutdown();
    return 0;
}
