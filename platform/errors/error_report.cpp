#include "error_report.h"

#include <cstdio>

#include "message_box.h"
#include "park_and_exit.h"
#include "run_flags.h"

namespace {

// The box of an immediate critical error. The title is built on the stack: an
// out-of-memory report must not need the heap.
struct immediate_critical_box {
    const char* text = nullptr;
    char title[32] = {};
};

// True, with the box filled in, when n is an immediate critical number.
bool immediate_critical(int32_t n, immediate_critical_box& box) {
    if (n == division_by_zero) {
        box.text = "Division by zero";
        std::snprintf(box.title, sizeof box.title, "Critical Error");
        return true;
    }
    if (out_of_memory::includes(n)) {
        box.text = "Out of memory";
        std::snprintf(box.title, sizeof box.title, "Critical Error #%d", out_of_memory::title_number(n));
        return true;
    }
    return false;
}

}  // namespace

void raise_error(int32_t number) {
    immediate_critical_box box;
    if (immediate_critical(number, box)) raise_critical_error(number);
    auto& f = flags();
    if (f.error_pending.load(std::memory_order_acquire) != 0) return;
    if (number <= 0) number = illegal_function_call;
    f.error_pending.store(static_cast<uint32_t>(number), std::memory_order_release);
    f.event_pending.store(1, std::memory_order_release);
}

void raise_critical_error(int32_t number) {
    immediate_critical_box box;
    if (!immediate_critical(number, box)) {
        std::snprintf(box.title, sizeof box.title, "Critical Error #%d", number);
        box.text = error_description(uint32_t(number));
    }
    // The process ends after the box: the window's keys stay held.
    show_message_box(message_box{box.title, box.text, box_buttons::ok, true});
    exit_process(critical_exit_code);
}
