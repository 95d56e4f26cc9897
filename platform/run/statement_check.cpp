#include "statement_check.h"

#include <chrono>
#include <thread>

#include "error_dialog.h"
#include "park_and_exit.h"

void (*statement_check_observer)(uint32_t) = nullptr;

namespace {
constexpr auto hold_interval = std::chrono::milliseconds(10);
}

void dispatch_events() {}

void statement_check(uint32_t statement_number) {
    auto& f = flags();
    f.event_pending.store(0, std::memory_order_release);
    if (statement_check_observer != nullptr) statement_check_observer(statement_number);
    while (f.program_paused.load(std::memory_order_acquire) != 0 || stop_is_requested()) {
        if (stop_is_requested()) halt_program_thread();
        std::this_thread::sleep_for(hold_interval);
    }
    if (error_is_pending()) {
        report_unhandled_error(statement_number);
        return;
    }
    dispatch_events();
}
