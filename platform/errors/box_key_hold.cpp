#include "box_key_hold.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// THREADING: boxes_holding_keys is raised and lowered by the threads that show
// boxes (the shell's, the main-loop thread) and read by key_down on the window's
// thread. intake_asked is raised by the releasing thread (release), intake_done
// and front_end_takes_keys are written by the window's thread alone (release);
// each is read by the other side (acquire). A count, not a flag: a critical box
// can come up while the error dialog is open, and it must keep the keys held.
std::atomic<uint32_t> boxes_holding_keys{0};
std::atomic<uint32_t> intake_asked{0};
std::atomic<uint32_t> intake_done{0};
std::atomic<bool> front_end_takes_keys{false};

// How often a release looks whether the window's thread has taken in its keys;
// that thread's loop turns about every 16 ms.
constexpr auto intake_poll = std::chrono::milliseconds(1);

}  // namespace

void hold_window_keys() { boxes_holding_keys.fetch_add(1, std::memory_order_acq_rel); }

void release_window_keys() {
    if (front_end_takes_keys.load(std::memory_order_acquire)) {
        const uint32_t request = intake_asked.fetch_add(1, std::memory_order_acq_rel) + 1;
        // Wrap-around safe: the difference says whether this request is done.
        while (int32_t(intake_done.load(std::memory_order_acquire) - request) < 0)
            std::this_thread::sleep_for(intake_poll);
    }
    boxes_holding_keys.fetch_sub(1, std::memory_order_acq_rel);
}

bool window_keys_held() { return boxes_holding_keys.load(std::memory_order_acquire) != 0; }

void take_in_keys_on_request() { front_end_takes_keys.store(true, std::memory_order_release); }

bool key_intake_requested(uint32_t& request) {
    request = intake_asked.load(std::memory_order_acquire);
    return request != intake_done.load(std::memory_order_relaxed);
}

void finish_key_intake(uint32_t request) { intake_done.store(request, std::memory_order_release); }
