#include "key_down.h"

#include <atomic>

#include "key_table.h"
#include "run_control.h"
#include "run_flags.h"

namespace {

bool is_enter(const key_press& press) {
    return press.is_character && (press.character == 13 || press.character == 10);
}

// Lock-key state reported by the window and polled by the main-loop thread.
// THREADING: written by the window's thread, read by the main-loop thread.
std::atomic<uint32_t> reported_lock_bits{0};
std::atomic<uint32_t> reported_modifiers{0};

}  // namespace

run_control_action classify_key_down(const key_press& press, bool paused) {
    const key_modifiers& held = press.modifiers;
    bool special = !press.is_character;
    if (special && (press.special == special_key::break_key ||
                    (press.special == special_key::scroll_lock && held.ctrl))) {
        return run_control_action::finish_program;
    }
    if (special && press.special == special_key::f4 && held.alt) {
        return run_control_action::finish_program;
    }
    if (special && (press.special == special_key::pause ||
                    (press.special == special_key::num_lock && held.ctrl))) {
        return run_control_action::pause_program;
    }
    if (paused) return run_control_action::end_pause;
    if (is_enter(press) && held.alt) return run_control_action::step_display;
    return run_control_action::ordinary_key;
}

void key_down(const key_press& press) {
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

void report_lock_states(uint32_t lock_bits, key_modifiers held) {
    uint32_t modifier_bits = (held.shift ? 1u : 0u) | (held.ctrl ? 2u : 0u) | (held.alt ? 4u : 0u);
    reported_modifiers.store(modifier_bits, std::memory_order_relaxed);
    reported_lock_bits.store(lock_bits, std::memory_order_release);
}

void poll_lock_states() {
    static uint32_t last_bits = 0;  // main-loop thread only
    uint32_t bits = reported_lock_bits.load(std::memory_order_acquire);
    uint32_t modifier_bits = reported_modifiers.load(std::memory_order_relaxed);
    key_modifiers held{(modifier_bits & 1) != 0, (modifier_bits & 2) != 0, (modifier_bits & 4) != 0};
    uint32_t changed = bits ^ last_bits;
    last_bits = bits;
    if (changed & 1) key_down(special_press(special_key::caps_lock, held));
    if (changed & 2) key_down(special_press(special_key::num_lock, held));
}
