// The lock of a short copy (the text screen, the display frame) whose waiter
// can give up: a holder that an arithmetic exception parks keeps it for good,
// and the display pass must not wait for it for good.
#pragma once
#include <atomic>
#include <cstdint>

// Invariant: state is 0 while the lock is free, 1 while it is held and no one
// waits, 2 while it is held and a waiter may sleep on it (a futex word).
// THREADING: any threads. Taking it loads state with acquire, giving it back
// stores with release, so what one holder wrote the next holder sees.
class short_lock {
public:
    void lock();
    void unlock();

    // Takes the lock, looking every few milliseconds while it waits whether
    // give_up holds; false, without the lock, once it does. Without give_up
    // (null) it waits for as long as the lock is held.
    bool lock_unless(bool (*give_up)());

private:
    std::atomic<uint32_t> state_{0};
};
