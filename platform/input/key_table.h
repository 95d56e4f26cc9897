// The key table: how a key press becomes a key-buffer entry.
#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "key_buffer.h"
#include "key_press.h"

// One row: the code it stands for, the key's PC scan code, then what the key
// gives alone, with Shift, with Ctrl and with Alt, then four columns for the
// numeric keypad (Num Lock on: alone, Shift, Ctrl, Alt). A result below 256 is a
// character byte; a larger one is an extended key whose scan code is its high
// byte; 0 gives nothing. A row whose scan code is 0 is not translated.
struct key_row {
    int32_t code;
    int32_t scan_code;
    int32_t alone;
    int32_t with_shift;
    int32_t with_ctrl;
    int32_t with_alt;
    std::array<int32_t, 4> keypad;
};

// Rows 0..255: character codes; 256..511: extended keys (256 + scan code);
// 512..535: the numeric keypad, then the modifier and lock keys.
inline constexpr int key_table_row_count = 536;
inline constexpr int extended_rows = 256;
inline constexpr int keypad_rows = 512;

const std::array<key_row, key_table_row_count>& key_table();

// PC scan codes of the special keys as the window reports them (0: none).
uint8_t special_key_scan_code(special_key key);

// The entry a key press adds to the key buffer, or nothing (the modifier and
// lock keys, special_key::other, and the combinations the table leaves empty).
// Run-control keys are taken out before this.
std::optional<key_entry> translate_key(const key_press& press);
