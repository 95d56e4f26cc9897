#include "error_report.h"

#include <cstdio>
#include <string>

#include "console_runtime.h"
#include "run_flags.h"

namespace {
std::string& stored_program_path() {
    static std::string* path = new std::string;
    return *path;
}
}  // namespace

void set_program_path(const char* path) { stored_program_path() = path ? path : ""; }
const char* program_path() { return stored_program_path().c_str(); }

void raise_error(int32_t number) {
    if (number == 11 || number == 257 || (number >= 502 && number <= 518)) {
        std::fprintf(stderr, "%s\n", number == 11 ? "Division by zero" : "Out of memory");
        exit_process(1);
    }
    auto& f = flags();
    if (f.error_pending.load(std::memory_order_acquire) != 0) return;
    if (number <= 0) number = 5;
    f.error_pending.store(static_cast<uint32_t>(number), std::memory_order_release);
    f.event_pending.store(1, std::memory_order_release);
}

void report_unhandled_error(uint32_t) {
    flags().error_pending.store(0, std::memory_order_release);
}

const char* error_description(uint32_t number) {
    return number == 5 ? "Illegal function call" : "Unprintable error";
}

void on_arithmetic_signal(int) { raise_error(11); }
