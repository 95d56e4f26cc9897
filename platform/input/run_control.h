// The run-control rules applied to every key-down before ordinary key handling.
#pragma once
#include "key_press.h"

enum class run_control_action {
    finish_program,   // Ctrl+Break, Ctrl+Scroll Lock, Alt+F4
    pause_program,    // Pause, Ctrl+Num Lock
    end_pause,        // any other key while paused: it ends the pause and goes nowhere
    step_display,     // Alt+Enter: the next full-screen state
    ordinary_key,     // on to the key table and the key buffer
};

// The first rule that matches, in order; pure, so it is tested without threads.
run_control_action classify_key_down(const key_press& press, bool paused);
