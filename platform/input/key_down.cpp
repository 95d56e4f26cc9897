#include "key_down.h"

#include "box_key_hold.h"
#include "key_table.h"
#include "run_control.h"
#include "run_flags.h"

void key_down(const key_press& press) {
    if (window_keys_held()) return;
    auto& f = flags();
    bool paused = f.program_paused.load(std::memory_order_acquire) != 0;
    switch (classify_key_down(press, paused)) {
        case run_control_action::finish_program:
            f.program_finished.store(1, std::memory_order_release);
            return;
        case run_control_action::pause_program:
            f.program_paused.store(1, std::memory_order_release);
            f.event_pending.store(1, std::memory_order_release);
            return;
        case run_control_action::end_pause:
            f.program_paused.store(0, std::memory_order_release);
            return;
        case run_control_action::step_display: {
            uint32_t mode = f.display_mode.load(std::memory_order_relaxed);
            f.display_mode.store((mode + 1) % display_mode_count, std::memory_order_release);
            return;
        }
        case run_control_action::ordinary_key:
            break;
    }
    if (auto entry = translate_key(press)) add_key_entry(*entry);
}

void request_close() { flags().close_requested.store(1, std::memory_order_release); }
