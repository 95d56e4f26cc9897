#include "figure_table.h"

#include <cmath>
#include <cstdio>

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

std::vector<std::function<std::vector<figure>(const benchmark_times&)>>& registered_figure_makers() {
    static std::vector<std::function<std::vector<figure>(const benchmark_times&)>> makers;
    return makers;
}

int register_figures(const std::function<std::vector<figure>(const benchmark_times&)>& make) {
    registered_figure_makers().push_back(make);
    return static_cast<int>(registered_figure_makers().size());
}

