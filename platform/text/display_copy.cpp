#include "display_copy.h"

#include <mutex>

#include "arithmetic_exception.h"
#include "screen_lock.h"

namespace {

// The newest frame. THREADING: written by the main-loop thread, read by the
// window's thread (and test drivers), both under frame_mutex.
struct frame_slot {
    short_lock frame_mutex;
    display_frame frame{};
    uint64_t passes = 0;
};

frame_slot& slot() {
    static frame_slot* the_slot = new frame_slot;
    return *the_slot;
}

constexpr uint64_t blink_half_period = 8;  // display passes on, then as many off

// Takes the lock for the display pass; false, without it, once an arithmetic
// exception has parked a thread while the pass waits: that thread may hold the
// lock for good, and the main-loop thread must go on to report the exception.
bool lock_unless_holder_parked(short_lock& lock) { return lock.lock_unless(arithmetic_exception_parked_a_thread); }

}  // namespace

void publish_display_frame(const text_screen& screen) {
    auto& s = slot();
    display_frame copy;
    {
        if (!lock_unless_holder_parked(screen_mutex())) return;
        std::lock_guard<short_lock> screen_held(screen_mutex(), std::adopt_lock);
        copy.cells = screen.cells;
        copy.cursor_column = screen.cursor_column;
        copy.cursor_row = screen.cursor_row;
        copy.cursor_drawn = screen.cursor_visible;
    }
    if (!lock_unless_holder_parked(s.frame_mutex)) return;
    std::lock_guard<short_lock> frame_held(s.frame_mutex, std::adopt_lock);
    uint64_t pass = s.passes++;
    copy.cursor_drawn = copy.cursor_drawn && (pass / blink_half_period) % 2 == 0;
    copy.serial = pass + 1;
    s.frame = copy;
}

bool take_display_frame(display_frame& frame, uint64_t last_serial) {
    auto& s = slot();
    std::lock_guard<short_lock> guard(s.frame_mutex);
    if (s.frame.serial == 0 || s.frame.serial <= last_serial) return false;
    frame = s.frame;
    return true;
}
