#include "display_copy.h"

#include <mutex>

#include "screen_lock.h"

namespace {

// The newest frame. THREADING: written by the main-loop thread, read by the
// window's thread (and test drivers), both under frame_mutex.
struct frame_slot {
    std::mutex frame_mutex;
    display_frame frame{};
    uint64_t passes = 0;
};

frame_slot& slot() {
    static frame_slot* the_slot = new frame_slot;
    return *the_slot;
}

constexpr uint64_t blink_half_period = 8;  // display passes on, then as many off

}  // namespace

void publish_display_frame(const text_screen& screen) {
    auto& s = slot();
    display_frame copy;
    {
        std::lock_guard<std::mutex> guard(screen_mutex());
        copy.cells = screen.cells;
        copy.cursor_column = screen.cursor_column;
        copy.cursor_row = screen.cursor_row;
        copy.cursor_drawn = screen.cursor_visible;
    }
    std::lock_guard<std::mutex> guard(s.frame_mutex);
    uint64_t pass = s.passes++;
    copy.cursor_drawn = copy.cursor_drawn && (pass / blink_half_period) % 2 == 0;
    copy.serial = pass + 1;
    s.frame = copy;
}

bool take_display_frame(display_frame& frame, uint64_t last_serial) {
    auto& s = slot();
    std::lock_guard<std::mutex> guard(s.frame_mutex);
    if (s.frame.serial == 0 || s.frame.serial <= last_serial) return false;
    frame = s.frame;
    return true;
}
