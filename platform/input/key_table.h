// The key table: how a key press becomes a key-buffer entry.
#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "key_buffer.h"
#include "key_press.h"

// One row: the code it stands for, the key's PC scan code, then what the key
// gives alone, with Shift, with Ctrl and with Alt. A result below 256 is a
// character byte; a larger one is an extended key whose scan code is its high
// byte; 0 gives nothing. A character row whose scan code is 0 is not translated.
struct key_row {
    int32_t code;
    int32_t scan_code;
    int32_t alone;
    int32_t with_shift;
    int32_t with_ctrl;
    int32_t with_alt;
};

// Rows 0..255: character codes; 256..511: extended keys (256 + scan code);
// 512..517: the modifier and lock keys, which give nothing. The numeric keypad
// has no rows of its own: the window reports its keys as the characters or the
// cursor keys they give with Num Lock as it stands (window_keys.h).
inline constexpr int extended_rows = 256;
inline constexpr int modifier_rows = 512;
inline constexpr int key_table_row_count = 518;

const std::array<key_row, key_table_row_count>& key_table();

// The entry a key press adds to the key buffer, or nothing (the modifier and
// lock keys, special_key::other, and the combinations the table leaves empty).
// Run-control keys are taken out before this.
std::optional<key_entry> translate_key(const key_press& press);
