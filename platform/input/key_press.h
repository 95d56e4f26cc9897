// A key press as the window reports it: a character key or a special key, with
// the modifiers held.
#pragma once
#include <cstdint>

// Keys that give no character, as the window reports them.
enum class special_key : uint8_t {
    none,
    f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12,
    home, up, page_up, left, right, end, down, page_down, insert, delete_key,
    pause, break_key, scroll_lock, num_lock, caps_lock,
    shift, ctrl, alt,
    other,  // a key the key table does not know (Print, Menu, Super...): a key-down, no entry
};

struct key_modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// A key press: a character key with its 8-bit code as reported (letters in the
// case reported), or a special key; with the modifiers held at the time.
struct key_press {
    bool is_character = false;
    uint8_t character = 0;
    special_key special = special_key::none;
    key_modifiers modifiers;
};

inline key_press character_press(uint8_t code, key_modifiers modifiers = {}) {
    return key_press{true, code, special_key::none, modifiers};
}
inline key_press special_press(special_key key, key_modifiers modifiers = {}) {
    return key_press{false, 0, key, modifiers};
}
