// Scan codes are those of the PC keyboard (scan code set 1) on the US layout;
// the extended codes of the special keys with Shift, Ctrl and Alt follow the PC
// BIOS keyboard services.
#include "key_table.h"

namespace {

constexpr int32_t extended(int32_t scan_code) { return scan_code << 8; }

// The printable keys of the US layout: unshifted, shifted, scan code.
struct layout_key {
    char plain;
    char shifted;
    int32_t scan_code;
};
constexpr layout_key us_layout[] = {
    {'1', '!', 2},  {'2', '@', 3},  {'3', '#', 4},  {'4', '$', 5},   {'5', '%', 6},
    {'6', '^', 7},  {'7', '&', 8},  {'8', '*', 9},  {'9', '(', 10},  {'0', ')', 11},
    {'-', '_', 12}, {'=', '+', 13}, {'q', 'Q', 16}, {'w', 'W', 17},  {'e', 'E', 18},
    {'r', 'R', 19}, {'t', 'T', 20}, {'y', 'Y', 21}, {'u', 'U', 22},  {'i', 'I', 23},
    {'o', 'O', 24}, {'p', 'P', 25}, {'[', '{', 26}, {']', '}', 27},  {'a', 'A', 30},
    {'s', 'S', 31}, {'d', 'D', 32}, {'f', 'F', 33}, {'g', 'G', 34},  {'h', 'H', 35},
    {'j', 'J', 36}, {'k', 'K', 37}, {'l', 'L', 38}, {';', ':', 39},  {'\'', '"', 40},
    {'`', '~', 41}, {'\\', '|', 43}, {'z', 'Z', 44}, {'x', 'X', 45}, {'c', 'C', 46},
    {'v', 'V', 47}, {'b', 'B', 48}, {'n', 'N', 49}, {'m', 'M', 50},  {',', '<', 51},
    {'.', '>', 52}, {'/', '?', 53},
};

// What Ctrl gives with a printable character: the letters 1..26, a few control
// bytes, an extended key for 2 and @, nothing for the rest.
constexpr int32_t ctrl_of_printable(char c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 1;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
    switch (c) {
        case '[': case '{': return 27;
        case '\\': case '|': return 28;
        case ']': case '}': return 29;
        case '6': case '^': return 30;
        case '-': case '_': return 31;
        case '2': case '@': return extended(3);
        default: return 0;
    }
}

// The special keys that give extended keys, as the window reports them: the
// key's PC scan code, then the extended key's scan code alone, with Shift, with
// Ctrl and with Alt.
struct special_row {
    special_key key;
    int32_t scan_code, alone, with_shift, with_ctrl, with_alt;
};
constexpr special_row special_rows[] = {
    // key                    scan alone shift ctrl  alt
    {special_key::f1,           59,  59,   84,   94, 104},
    {special_key::f2,           60,  60,   85,   95, 105},
    {special_key::f3,           61,  61,   86,   96, 106},
    {special_key::f4,           62,  62,   87,   97, 107},
    {special_key::f5,           63,  63,   88,   98, 108},
    {special_key::f6,           64,  64,   89,   99, 109},
    {special_key::f7,           65,  65,   90,  100, 110},
    {special_key::f8,           66,  66,   91,  101, 111},
    {special_key::f9,           67,  67,   92,  102, 112},
    {special_key::f10,          68,  68,   93,  103, 113},
    {special_key::f11,         133, 133,  135,  137, 139},
    {special_key::f12,         134, 134,  136,  138, 140},
    {special_key::home,         71,  71,   71,  119, 151},
    {special_key::up,           72,  72,   72,  141, 152},
    {special_key::page_up,      73,  73,   73,  132, 153},
    {special_key::left,         75,  75,   75,  115, 155},
    {special_key::right,        77,  77,   77,  116, 157},
    {special_key::end,          79,  79,   79,  117, 159},
    {special_key::down,         80,  80,   80,  145, 160},
    {special_key::page_down,    81,  81,   81,  118, 161},
    {special_key::insert,       82,  82,   82,  146, 162},
    {special_key::delete_key,   83,  83,   83,  147, 163},
};

// The modifier and lock keys: they only change the keys held, and their rows
// give nothing. The window reports the left and the right Shift, Ctrl and Alt
// as one key each, which stands here with its left key's scan code.
struct modifier_row {
    special_key key;
    int32_t scan_code;
};
constexpr modifier_row modifier_keys[] = {
    // key                     scan
    {special_key::shift,         42},  // Left Shift (Right Shift: 54)
    {special_key::ctrl,          29},  // Left Ctrl (Right Ctrl: 29 too)
    {special_key::alt,           56},  // Left Alt (Right Alt: 56 too)
    {special_key::caps_lock,     58},
    {special_key::num_lock,      69},
    {special_key::scroll_lock,   70},
};
static_assert(std::size(modifier_keys) == key_table_row_count - modifier_rows);

// The row of a special key, or nothing for the keys without one: Pause and
// Break, which the run-control rules take, and special_key::other.
constexpr std::optional<int> special_key_row(special_key key) {
    for (const special_row& row : special_rows) {
        if (row.key == key) return extended_rows + row.scan_code;
    }
    for (size_t i = 0; i < std::size(modifier_keys); ++i) {
        if (modifier_keys[i].key == key) return modifier_rows + int(i);
    }
    return std::nullopt;
}

constexpr std::array<key_row, key_table_row_count> make_key_table() {
    std::array<key_row, key_table_row_count> table{};
    for (int code = 0; code < key_table_row_count; ++code) table[code].code = code;
    // Characters without a key of their own: scan code 0, not translated.
    for (int code = 0; code < 256; ++code) {
        table[code].alone = table[code].with_shift = table[code].with_ctrl = table[code].with_alt = code;
    }
    for (const layout_key& key : us_layout) {
        for (char c : {key.plain, key.shifted}) {
            key_row& row = table[static_cast<uint8_t>(c)];
            row.scan_code = key.scan_code;
            row.alone = row.with_shift = static_cast<uint8_t>(c);
            row.with_ctrl = ctrl_of_printable(c);
            row.with_alt = extended(key.scan_code);
        }
    }
    //                 code scan alone shift        ctrl          alt
    table[8] = key_row{8, 14, 8, 8, 127, extended(14)};
    table[9] = key_row{9, 15, 9, extended(15), extended(148), 0};
    table[13] = key_row{13, 28, 13, 13, 10, 0};
    table[27] = key_row{27, 1, 27, 27, 27, 0};
    table[32] = key_row{32, 57, 32, 32, 32, 0};
    for (const special_row& key : special_rows) {
        key_row& row = table[extended_rows + key.scan_code];
        row.scan_code = key.scan_code;
        row.alone = extended(key.alone);
        row.with_shift = extended(key.with_shift);
        row.with_ctrl = extended(key.with_ctrl);
        row.with_alt = extended(key.with_alt);
    }
    for (size_t i = 0; i < std::size(modifier_keys); ++i) table[modifier_rows + i].scan_code = modifier_keys[i].scan_code;
    return table;
}

constexpr std::array<key_row, key_table_row_count> the_key_table = make_key_table();

// The character code 127 is the Delete key.
constexpr uint8_t delete_scan_code = the_key_table[*special_key_row(special_key::delete_key)].scan_code;

int32_t column_for(const key_row& row, const key_modifiers& held) {
    if (held.alt) return row.with_alt;
    if (held.ctrl) return row.with_ctrl;
    if (held.shift) return row.with_shift;
    return row.alone;
}

// An extended key looks up its own row; a row that gives nothing alone leaves it
// the extended key that it is.
std::optional<key_entry> translate_extended(uint8_t scan_code, const key_modifiers& held) {
    const key_row& row = the_key_table[extended_rows + scan_code];
    if (row.alone == 0) return key_entry{0, scan_code};
    int32_t value = column_for(row, held);
    if (value == 0) return std::nullopt;
    if (value < 256) return key_entry{static_cast<uint8_t>(value), scan_code};
    return key_entry{0, static_cast<uint8_t>(value >> 8)};
}

}  // namespace

const std::array<key_row, key_table_row_count>& key_table() { return the_key_table; }

std::optional<key_entry> translate_key(const key_press& press) {
    const key_modifiers& held = press.modifiers;
    if (!press.is_character) {
        const std::optional<int> row_number = special_key_row(press.special);
        if (!row_number) return std::nullopt;
        const key_row& row = the_key_table[*row_number];
        if (column_for(row, held) == 0) return std::nullopt;  // the modifier and lock keys
        return translate_extended(static_cast<uint8_t>(row.scan_code), held);
    }
    int code = press.character;
    if (code == 127) return translate_extended(delete_scan_code, held);  // the Delete key
    if (held.ctrl) {
        if (code == 10) {
            code = 13;
        } else if (code >= 1 && code <= 26) {
            code += held.shift ? 64 : 96;
        }
    }
    const key_row& row = the_key_table[code];
    if (row.scan_code == 0) return key_entry{static_cast<uint8_t>(code), 0};
    int32_t value = column_for(row, held);
    if (value == 0) return std::nullopt;
    if (value < 256) return key_entry{static_cast<uint8_t>(value), static_cast<uint8_t>(row.scan_code)};
    return translate_extended(static_cast<uint8_t>(value >> 8), held);
}
