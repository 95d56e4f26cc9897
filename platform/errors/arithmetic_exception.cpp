#include "arithmetic_exception.h"

#include <unistd.h>

#include <atomic>

#include "error_report.h"

namespace {

// Set by the arithmetic-exception handler, on whatever thread took the signal;
// read by the main-loop thread. Lock-free, so the handler may store to it.
std::atomic<uint32_t> arithmetic_exception{0};
static_assert(std::atomic<uint32_t>::is_always_lock_free);

}  // namespace

void on_arithmetic_signal(int) {
    arithmetic_exception.store(1, std::memory_order_release);
    for (;;) ::pause();
}

bool arithmetic_exception_caught() { return arithmetic_exception.load(std::memory_order_acquire) != 0; }

void report_arithmetic_exception() { raise_critical_error(division_by_zero); }
