// One table of figures, each held against a limit measured or fixed in the same
// run, so that the ratio holds on a noisy machine.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

// A figure and its limit. The ratio is measured / limit; the target says which
// side of target_ratio the ratio must fall on. A part (rule::part_of) has no
// target of its own: it shows what share of its limit one piece of a figure takes.
struct figure {
    enum class rule { at_least, at_most, part_of };
    std::string name;
    double measured = 0;
    double limit = 0;
    std::string unit;      // of measured and limit, as printed after them
    rule target = rule::at_most;
    double target_ratio = 1.0;
};

// One row per figure on standard output: "figure", then name, measured, limit,
// ratio, target and verdict, separated by tabs (scripts/bench aligns them).
void print_figure(const figure& f);

// A benchmark's time per iteration in nanoseconds (real time), by name as Google
// Benchmark reports it (e.g. "prank_loop/real").
using benchmark_times = std::map<std::string, double>;

// The registered functions, in the order of registration.
std::vector<std::function<std::vector<figure>(const benchmark_times&)>>& registered_figure_makers();

// Registers a function that turns the run's benchmark times into figures; each
// benchmark file registers one for its own benchmarks.
int register_figures(const std::function<std::vector<figure>(const benchmark_times&)>& make);

// Human-readable number with a unit prefix (1.5 k, 3.2 M).
std::string scaled(double value, const std::string& unit);
