#include <gtest/gtest.h>

#include "key_buffer.h"
#include "key_table.h"
#include "run_control.h"

namespace {

constexpr key_modifiers none{};
constexpr key_modifiers shift{true, false, false};
constexpr key_modifiers ctrl{false, true, false};
constexpr key_modifiers ctrl_shift{true, true, false};
constexpr key_modifiers alt{false, false, true};

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

TEST(key_table, rows_stand_for_their_codes) {
    const auto& table = key_table();
    for (int code = 0; code < key_table_row_count; ++code) EXPECT_EQ(table[code].code, code);
    // Special keys and Alt never give a character byte that reaches an answer.
    for (int code = 33; code <= 126; ++code) EXPECT_GE(table[code].with_alt, 256) << code;
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
