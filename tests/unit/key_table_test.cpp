#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "key_buffer.h"
#include "key_table.h"
#include "run_control.h"

namespace {

constexpr key_modifiers none{};
constexpr key_modifiers shift{true, false, false};
constexpr key_modifiers ctrl{false, true, false};
constexpr key_modifiers ctrl_shift{true, true, false};
constexpr key_modifiers alt{false, false, true};
constexpr key_modifiers alt_shift{true, false, true};

struct key_case {
    const char* name;
    key_press press;
    bool gives_entry;
    uint8_t character;
    uint8_t scan_code;
};

const key_case key_cases[] = {
    {"a", character_press('a'), true, 'a', 30},
    {"A", character_press('A', shift), true, 'A', 30},
    {"Ctrl+H is Backspace", character_press(8, ctrl), true, 8, 35},
    {"Ctrl+I is Tab", character_press(9, ctrl), true, 9, 23},
    {"Ctrl+M is Enter", character_press(13, ctrl), true, 13, 50},
    {"Ctrl+G", character_press(7, ctrl), true, 7, 34},
    {"Ctrl+J gives 10", character_press(10, ctrl), true, 10, 28},
    {"Ctrl+C gives 3", character_press(3, ctrl), true, 3, 46},
    {"Ctrl+Shift+C gives 3", character_press(3, ctrl_shift), true, 3, 46},
    {"Ctrl+[ gives Esc", character_press('[', ctrl), true, 27, 26},
    {"Ctrl+\\ gives 28", character_press('\\', ctrl), true, 28, 43},
    {"Ctrl+- gives 31", character_press('-', ctrl), true, 31, 12},
    {"Ctrl+2 is extended", character_press('2', ctrl), true, 0, 3},
    {"Ctrl+; gives nothing", character_press(';', ctrl), false, 0, 0},
    {"Enter", character_press(13), true, 13, 28},
    {"Shift+Tab is extended", character_press(9, shift), true, 0, 15},
    {"Alt+Tab gives nothing", character_press(9, alt), false, 0, 0},
    {"Alt+Backspace is extended", character_press(8, alt), true, 0, 14},
    {"Alt+x is extended", character_press('x', alt), true, 0, 45},
    {"Esc", character_press(27), true, 27, 1},
    {"code 0", character_press(0, ctrl), true, 0, 0},
    {"code 200 untranslated", character_press(200, alt), true, 200, 0},
    {"Delete key", character_press(127), true, 0, 83},
    {"F1", special_press(special_key::f1), true, 0, 59},
    {"Shift+F1", special_press(special_key::f1, shift), true, 0, 84},
    {"Alt+F12", special_press(special_key::f12, alt), true, 0, 140},
    {"Ctrl+Home", special_press(special_key::home, ctrl), true, 0, 119},
    {"Shift alone", special_press(special_key::shift, shift), false, 0, 0},
    {"Caps Lock", special_press(special_key::caps_lock), false, 0, 0},
    {"a key the table does not know", special_press(special_key::other), false, 0, 0},
    // Characters as the window reports them: the character itself with Ctrl held.
    {"Ctrl+Space gives 32", character_press(' ', ctrl), true, 32, 57},
    {"Ctrl+@ is extended", character_press('@', ctrl_shift), true, 0, 3},
    {"Ctrl+3 gives nothing", character_press('3', ctrl), false, 0, 0},
    {"Ctrl+` gives nothing", character_press('`', ctrl), false, 0, 0},
    {"Ctrl+/ gives nothing", character_press('/', ctrl), false, 0, 0},
    {"Ctrl+6 gives 30", character_press('6', ctrl), true, 30, 7},
    {"Ctrl+] gives 29", character_press(']', ctrl), true, 29, 27},
    {"Ctrl+Enter, reported as 10, gives 10", character_press(10, ctrl), true, 10, 28},
    {"Alt+1 is extended", character_press('1', alt), true, 0, 2},
};

TEST(key_table, key_presses_become_entries) {
    for (const auto& c : key_cases) {
        auto entry = translate_key(c.press);
        ASSERT_EQ(entry.has_value(), c.gives_entry) << c.name;
        if (!entry) continue;
        EXPECT_EQ(entry->character, c.character) << c.name;
        EXPECT_EQ(entry->scan_code, c.scan_code) << c.name;
    }
}

// The printable keys of the US layout, row by row as they sit on the keyboard:
// each key's character alone and with Shift. For the keys of the main block the
// kernel's key codes are their PC scan codes (set 1), numbered along each row.
struct keyboard_row {
    int first_scan_code;
    const char* alone;
    const char* with_shift;
};
constexpr keyboard_row us_layout_rows[] = {
    {KEY_1, "1234567890-=", "!@#$%^&*()_+"},
    {KEY_Q, "qwertyuiop[]", "QWERTYUIOP{}"},
    {KEY_A, "asdfghjkl;'`", "ASDFGHJKL:\"~"},
    {KEY_BACKSLASH, "\\", "|"},
    {KEY_Z, "zxcvbnm,./", "ZXCVBNM<>?"},
};
static_assert(KEY_0 == KEY_1 + 9 && KEY_EQUAL == KEY_1 + 11 && KEY_P == KEY_Q + 9 && KEY_RIGHTBRACE == KEY_Q + 11 &&
              KEY_L == KEY_A + 8 && KEY_GRAVE == KEY_A + 11 && KEY_M == KEY_Z + 6 && KEY_SLASH == KEY_Z + 9);

// One printable key: its two characters and its scan code.
struct layout_key {
    uint8_t alone;
    uint8_t with_shift;
    uint8_t scan_code;
};

std::vector<layout_key> us_layout_keys() {
    std::vector<layout_key> keys;
    for (const keyboard_row& row : us_layout_rows) {
        for (size_t i = 0; row.alone[i] != '\0'; ++i) {
            keys.push_back({uint8_t(row.alone[i]), uint8_t(row.with_shift[i]), uint8_t(row.first_scan_code + i)});
        }
    }
    return keys;
}

testing::AssertionResult gives(const key_press& press, std::optional<key_entry> expected) {
    const std::optional<key_entry> entry = translate_key(press);
    auto shown = [](const std::optional<key_entry>& e) {
        return e ? "entry " + std::to_string(e->character) + " " + std::to_string(e->scan_code) : std::string("nothing");
    };
    if (entry.has_value() == expected.has_value() &&
        (!entry || (entry->character == expected->character && entry->scan_code == expected->scan_code))) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "gives " << shown(entry) << ", expected " << shown(expected);
}

TEST(key_table, every_printable_key_gives_its_characters_with_its_own_scan_code) {
    const std::vector<layout_key> keys = us_layout_keys();
    std::set<uint8_t> printable;
    for (const layout_key& key : keys) {
        printable.insert(key.alone);
        printable.insert(key.with_shift);
        SCOPED_TRACE(std::string("the key of ") + char(key.alone) + char(key.with_shift));
        EXPECT_TRUE(gives(character_press(key.alone), key_entry{key.alone, key.scan_code}));
        EXPECT_TRUE(gives(character_press(key.with_shift, shift), key_entry{key.with_shift, key.scan_code}));
        // With Alt a key is the extended key of its scan code: no character
        // byte that an answer could take.
        EXPECT_TRUE(gives(character_press(key.alone, alt), key_entry{0, key.scan_code}));
        EXPECT_TRUE(gives(character_press(key.with_shift, alt_shift), key_entry{0, key.scan_code}));
    }
    EXPECT_EQ(printable.size(), 94u) << "the layout holds every printable byte but the blank, once";
}

// Ctrl with a printable key gives the control byte of the key's character in
// '@'..'_' (that character less 64): the byte 0 as the key's own extended key,
// and nothing for a key without such a character.
TEST(key_table, ctrl_with_a_printable_key_gives_the_control_byte_of_its_key) {
    for (const layout_key& key : us_layout_keys()) {
        SCOPED_TRACE(std::string("the key of ") + char(key.alone) + char(key.with_shift));
        std::optional<key_entry> expected;
        for (uint8_t c : {key.alone, key.with_shift}) {
            if (c >= '@' && c <= '_') expected = key_entry{uint8_t(c == '@' ? 0 : c - '@'), key.scan_code};
        }
        EXPECT_TRUE(gives(character_press(key.alone, ctrl), expected));
        EXPECT_TRUE(gives(character_press(key.with_shift, ctrl_shift), expected));
        // The window may report Ctrl with a letter as the control byte itself;
        // 10 with Ctrl is Ctrl+Enter.
        const bool letter = key.with_shift >= 'A' && key.with_shift <= 'Z';
        if (letter && key.with_shift != 'J') {
            EXPECT_TRUE(gives(character_press(uint8_t(key.with_shift - '@'), ctrl), expected));
            EXPECT_TRUE(gives(character_press(uint8_t(key.with_shift - '@'), ctrl_shift), expected));
        }
    }
}

TEST(key_table, keys_that_print_no_glyph_give_their_byte_with_their_own_scan_code) {
    const struct {
        const char* name;
        uint8_t code;
        uint8_t scan_code;
    } keys[] = {
        {"Backspace", 8, KEY_BACKSPACE}, {"Tab", 9, KEY_TAB},     {"Enter", 13, KEY_ENTER},
        {"Esc", 27, KEY_ESC},            {"Space", 32, KEY_SPACE},
    };
    for (const auto& key : keys) EXPECT_TRUE(gives(character_press(key.code), key_entry{key.code, key.scan_code})) << key.name;
}

// A byte without a key of its own on the layout is not translated: it comes
// with scan code 0 whatever is held (Ctrl with 1..26 is a letter's, above).
TEST(key_table, bytes_without_a_key_of_their_own_come_as_they_are) {
    for (int code = 0; code < 256; ++code) {
        const bool own_key = code == 8 || code == 9 || code == 13 || code == 27 || (code >= 32 && code <= 127);
        if (own_key) continue;
        for (key_modifiers held : {none, shift, alt, alt_shift, ctrl, ctrl_shift}) {
            if (held.ctrl && code >= 1 && code <= 26) continue;
            EXPECT_TRUE(gives(character_press(uint8_t(code), held), key_entry{uint8_t(code), 0}))
                << code << " with shift " << held.shift << ", ctrl " << held.ctrl << ", alt " << held.alt;
        }
    }
}

// The special keys give extended keys or nothing, never a character byte. Alone,
// each gives its own scan code: F1 to F10 those of the kernel's key codes, F11
// and F12 the codes that follow the Alt+function keys, the cursor and editing
// keys those of their twins on the numeric keypad.
TEST(key_table, special_keys_give_extended_keys_or_nothing) {
    const struct {
        special_key key;
        uint8_t scan_code;
    } keys[] = {
        {special_key::f1, KEY_F1},       {special_key::f2, KEY_F2},         {special_key::f3, KEY_F3},
        {special_key::f4, KEY_F4},       {special_key::f5, KEY_F5},         {special_key::f6, KEY_F6},
        {special_key::f7, KEY_F7},       {special_key::f8, KEY_F8},         {special_key::f9, KEY_F9},
        {special_key::f10, KEY_F10},     {special_key::f11, 133},           {special_key::f12, 134},
        {special_key::home, KEY_KP7},    {special_key::up, KEY_KP8},        {special_key::page_up, KEY_KP9},
        {special_key::left, KEY_KP4},    {special_key::right, KEY_KP6},     {special_key::end, KEY_KP1},
        {special_key::down, KEY_KP2},    {special_key::page_down, KEY_KP3}, {special_key::insert, KEY_KP0},
        {special_key::delete_key, KEY_KPDOT},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(int(k.key));
        EXPECT_TRUE(gives(special_press(k.key), key_entry{0, k.scan_code}));
        for (key_modifiers held : {shift, ctrl, alt, ctrl_shift, alt_shift}) {
            const std::optional<key_entry> entry = translate_key(special_press(k.key, held));
            if (!entry) continue;
            EXPECT_EQ(entry->character, 0) << "shift " << held.shift << ", ctrl " << held.ctrl << ", alt " << held.alt;
            EXPECT_NE(entry->scan_code, 0) << "shift " << held.shift << ", ctrl " << held.ctrl << ", alt " << held.alt;
        }
    }
}

TEST(run_control, rules_in_order) {
    struct { const char* name; key_press press; bool paused; run_control_action action; } cases[] = {
        {"Ctrl+Break", special_press(special_key::break_key, ctrl), false, run_control_action::finish_program},
        {"Ctrl+Scroll Lock", special_press(special_key::scroll_lock, ctrl), false, run_control_action::finish_program},
        {"Scroll Lock alone", special_press(special_key::scroll_lock), false, run_control_action::ordinary_key},
        {"Alt+F4", special_press(special_key::f4, alt), false, run_control_action::finish_program},
        {"Alt+F4 while paused", special_press(special_key::f4, alt), true, run_control_action::finish_program},
        {"F4", special_press(special_key::f4), false, run_control_action::ordinary_key},
        {"Pause", special_press(special_key::pause), false, run_control_action::pause_program},
        {"Pause while paused", special_press(special_key::pause), true, run_control_action::pause_program},
        {"Ctrl+Num Lock", special_press(special_key::num_lock, ctrl), false, run_control_action::pause_program},
        {"Shift while paused", special_press(special_key::shift, shift), true, run_control_action::end_pause},
        {"Ctrl alone while paused", special_press(special_key::ctrl, ctrl), true, run_control_action::end_pause},
        {"Caps Lock while paused", special_press(special_key::caps_lock), true, run_control_action::end_pause},
        {"unknown key while paused", special_press(special_key::other), true, run_control_action::end_pause},
        {"a while paused", character_press('a'), true, run_control_action::end_pause},
        {"Alt+Enter", character_press(13, alt), false, run_control_action::step_display},
        {"Alt+Enter while paused", character_press(13, alt), true, run_control_action::end_pause},
        {"Enter", character_press(13), false, run_control_action::ordinary_key},
        {"Ctrl+C", character_press(3, ctrl), false, run_control_action::ordinary_key},
    };
    for (const auto& c : cases) EXPECT_EQ(classify_key_down(c.press, c.paused), c.action) << c.name;
}

TEST(key_buffer, holds_fifteen_entries_in_order_and_loses_the_sixteenth) {
    key_entry entry{};
    while (take_key_entry(entry)) {
    }
    for (uint8_t i = 0; i < 15; ++i) EXPECT_TRUE(add_key_entry({static_cast<uint8_t>('a' + i), 0}));
    EXPECT_FALSE(add_key_entry({'z', 0}));
    EXPECT_EQ(waiting_key_count(), 15);
    for (uint8_t i = 0; i < 15; ++i) {
        ASSERT_TRUE(take_key_entry(entry));
        EXPECT_EQ(entry.character, 'a' + i);
    }
    EXPECT_FALSE(take_key_entry(entry));
}

TEST(key_buffer, read_key_gives_one_byte_two_bytes_or_none) {
    uint32_t mark = temp_string_count();
    add_key_entry({'q', 16});
    add_key_entry({0, 59});
    add_key_entry({0, 0});
    text_value* key = read_key();
    ASSERT_EQ(key->length, 1u);
    EXPECT_EQ(key->bytes[0], 'q');
    key = read_key();
    ASSERT_EQ(key->length, 2u);
    EXPECT_EQ(key->bytes[0], 0);
    EXPECT_EQ(key->bytes[1], 59);
    key = read_key();
    ASSERT_EQ(key->length, 1u);
    EXPECT_EQ(key->bytes[0], 0);
    EXPECT_EQ(read_key()->length, 0u);
    release_temp_strings(mark, 0);
}

}  // namespace
