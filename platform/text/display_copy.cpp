#include "display_copy.h"

#include <chrono>
#include <mutex>

#include "arithmetic_exception.h"
#include "screen_lock.h"

namespace {

// The newest frame. THREADING: written by the main-loop thread, read by the
// window's thread (and test drivers), both under frame_mutex.
struct frame_slot {
    std::timed_mutex frame_mutex;
    display_frame frame{};
    uint64_t passes = 0;
};

frame_slot& slot() {
    static frame_slot* the_slot = new frame_slot;
    return *the_slot;
}

constexpr uint64_t blink_half_period = 8;  // display passes on, then as many off

// How long the display pass waits for a lock before it looks again whether an
// arithmetic exception has parked a thread.
constexpr auto lock_look = std::chrono::milliseconds(5);

// The lock for the display pass, or none (false) once an arithmetic exception
// has parked a thread while the pass waits: that thread may hold the lock for
// good, and the main-loop thread must go on to report the exception. The looks
// end at a time of the system clock, whose timed lock (pthread_mutex_timedlock)
// the thread sanitizer follows; the steady clock's (pthread_mutex_clocklock) it
// does not, and would report the copy as a race.
std::unique_lock<std::timed_mutex> lock_unless_holder_parked(std::timed_mutex& lock) {
    std::unique_lock<std::timed_mutex> held(lock, std::defer_lock);
    // Mostly the lock is free: take it without reading the clock.
    if (held.try_lock()) return held;
    while (!held.try_lock_until(std::chrono::system_clock::now() + lock_look)) {
        if (arithmetic_exception_parked_a_thread()) break;
    }
    return held;
}

}  // namespace

void publish_display_frame(const text_screen& screen) {
    auto& s = slot();
    display_frame copy;
    {
        std::unique_lock<std::timed_mutex> screen_held = lock_unless_holder_parked(screen_mutex());
        if (!screen_held) return;
        copy.cells = screen.cells;
        copy.cursor_column = screen.cursor_column;
        copy.cursor_row = screen.cursor_row;
        copy.cursor_drawn = screen.cursor_visible;
    }
    std::unique_lock<std::timed_mutex> frame_held = lock_unless_holder_parked(s.frame_mutex);
    if (!frame_held) return;
    uint64_t pass = s.passes++;
    copy.cursor_drawn = copy.cursor_drawn && (pass / blink_half_period) % 2 == 0;
    copy.serial = pass + 1;
    s.frame = copy;
}

bool take_display_frame(display_frame& frame, uint64_t last_serial) {
    auto& s = slot();
    std::lock_guard<std::timed_mutex> guard(s.frame_mutex);
    if (s.frame.serial == 0 || s.frame.serial <= last_serial) return false;
    frame = s.frame;
    return true;
}
