#include "run_control.h"

namespace {

bool is_enter(const key_press& press) {
    return press.is_character && (press.character == 13 || press.character == 10);
}

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
