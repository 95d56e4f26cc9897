// The tests' bounded wait for a state that another thread brings about.
#pragma once
#include <chrono>
#include <functional>
#include <thread>

// Polls the condition every millisecond until it holds (true) or the limit has
// passed (false). A test decides from the state it waited for, never from the
// time it took.
inline bool poll_until(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
