#include "short_lock.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr uint32_t free_state = 0;
constexpr uint32_t held = 1;
constexpr uint32_t held_with_waiters = 2;

// How long a waiter that may give up sleeps before it looks again.
constexpr timespec give_up_look{0, 5'000'000};

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));

uint32_t* futex_word(std::atomic<uint32_t>& state) { return reinterpret_cast<uint32_t*>(&state); }

// Sleeps while the state is held_with_waiters, until woken, or the timeout
// (none: for ever) passes.
void sleep_while_held(std::atomic<uint32_t>& state, const timespec* timeout) {
    ::syscall(SYS_futex, futex_word(state), FUTEX_WAIT_PRIVATE, held_with_waiters, timeout, nullptr, 0);
}

void wake_one(std::atomic<uint32_t>& state) {
    ::syscall(SYS_futex, futex_word(state), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

}  // namespace

void short_lock::lock() { lock_unless(nullptr); }

bool short_lock::lock_unless(bool (*give_up)()) {
    uint32_t seen = free_state;
    if (state_.compare_exchange_strong(seen, held, std::memory_order_acquire, std::memory_order_relaxed)) return true;
    // From now on the state says a waiter may sleep, so the holder wakes one.
    if (seen != held_with_waiters) seen = state_.exchange(held_with_waiters, std::memory_order_acquire);
    while (seen != free_state) {
        // Not taken: giving up leaves the lock as it is, at worst with one
        // wake-up too many for its holder to make.
        if (give_up != nullptr && give_up()) return false;
        sleep_while_held(state_, give_up != nullptr ? &give_up_look : nullptr);
        seen = state_.exchange(held_with_waiters, std::memory_order_acquire);
    }
    return true;
}

void short_lock::unlock() {
    if (state_.exchange(free_state, std::memory_order_release) == held_with_waiters) wake_one(state_);
}
