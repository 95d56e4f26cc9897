#include "arithmetic_exception.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>

#include "error_report.h"

namespace {

// Set by the arithmetic-exception handler, on whatever thread took the signal;
// read by the main-loop thread. Lock-free, so the handler may store to it.
std::atomic<uint32_t> arithmetic_exception{0};
static_assert(std::atomic<uint32_t>::is_always_lock_free);

sigset_t arithmetic_signal_only() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGFPE);
    return set;
}

}  // namespace

void on_arithmetic_signal(int) {
    arithmetic_exception.store(1, std::memory_order_release);
    for (;;) ::pause();
}

bool arithmetic_exception_parked_a_thread() { return arithmetic_exception.load(std::memory_order_acquire) != 0; }

bool arithmetic_exception_caught() {
    if (arithmetic_exception_parked_a_thread()) return true;
    sigset_t waiting;
    return ::sigpending(&waiting) == 0 && sigismember(&waiting, SIGFPE) == 1;
}

void report_arithmetic_exception() { raise_critical_error(division_by_zero); }

arithmetic_signal_blocked::arithmetic_signal_blocked() {
    const sigset_t blocked = arithmetic_signal_only();
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous_mask_);
}

arithmetic_signal_blocked::~arithmetic_signal_blocked() { ::pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr); }
