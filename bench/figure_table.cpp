#include "figure_table.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace {

std::vector<std::function<std::vector<figure>(const benchmark_times&)>>& figure_makers() {
    static std::vector<std::function<std::vector<figure>(const benchmark_times&)>> makers;
    return makers;
}

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

std::string scaled(double value, const std::string& unit) {
    struct prefix {
        double factor;
        const char* name;
    };
    static const prefix prefixes[] = {{1e9, "G"}, {1e6, "M"}, {1e3, "k"}, {1, ""}, {1e-3, "m"}, {1e-6, "u"}, {1e-9, "n"}};
    const prefix* chosen = &prefixes[3];
    if (value != 0) {
        for (const prefix& p : prefixes) {
            chosen = &p;
            if (std::fabs(value) >= p.factor) break;
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.3g %s%s", value / chosen->factor, chosen->name, unit.c_str());
    return text;
}

void print_figure(const figure& f) {
    double ratio = f.limit != 0 ? f.measured / f.limit : 0;
    bool met = f.target == figure::rule::at_least ? ratio >= f.target_ratio : ratio <= f.target_ratio;
    char target[32] = "(part)";
    if (f.target != figure::rule::part_of) {
        std::snprintf(target, sizeof target, "%s %.2f", f.target == figure::rule::at_least ? ">=" : "<=",
                      f.target_ratio);
    }
    const char* verdict = f.target == figure::rule::part_of ? "-" : met ? "met" : "MISSED";
    char ratio_text[32];
    std::snprintf(ratio_text, sizeof ratio_text, "%.3g", ratio);
    std::printf("figure\t%s\t%s\t%s\t%s\t%s\t%s\n", f.name.c_str(), scaled(f.measured, f.unit).c_str(),
                scaled(f.limit, f.unit).c_str(), ratio_text, target, verdict);
    std::fflush(stdout);
}

int register_figures(const std::function<std::vector<figure>(const benchmark_times&)>& make) {
    figure_makers().push_back(make);
    return static_cast<int>(figure_makers().size());
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    collecting_reporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& make : figure_makers()) {
        for (const figure& f : make(reporter.times)) print_figure(f);
    }
    benchmark::Shutdown();
    return 0;
}
