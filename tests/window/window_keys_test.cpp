// The front end's reading of X key events, without an X server: a keysym and the
// event's modifier state become a key press, which the run-control rules and the
// key table then turn into what the runtime does with it.
#include <gtest/gtest.h>
// After gtest: X11's macros would clash with its names.
#include <X11/X.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <optional>
#include <string>

#include "key_table.h"
#include "run_control.h"
#include "window_keys.h"

namespace {

// The modifier bits of a US keymap as Xvfb sets it up: Alt on Mod1, Num Lock on Mod2.
constexpr unsigned shift = ShiftMask;
constexpr unsigned caps = LockMask;
constexpr unsigned ctrl = ControlMask;
constexpr unsigned alt = Mod1Mask;
constexpr unsigned num = Mod2Mask;

// What a key-down does, from the first run-control rule to the key buffer.
struct outcome {
    run_control_action action = run_control_action::ordinary_key;
    std::optional<key_entry> entry;  // for an ordinary key

    std::string text() const {
        switch (action) {
            case run_control_action::finish_program: return "finishes the run";
            case run_control_action::pause_program: return "pauses";
            case run_control_action::end_pause: return "ends the pause";
            case run_control_action::step_display: return "steps the display";
            case run_control_action::ordinary_key: break;
        }
        if (!entry) return "no entry";
        return "entry " + std::to_string(entry->character) + "," + std::to_string(entry->scan_code);
    }
};

outcome gives(uint8_t character, uint8_t scan_code) { return outcome{run_control_action::ordinary_key, key_entry{character, scan_code}}; }
outcome extended(uint8_t scan_code) { return gives(0, scan_code); }
const outcome nothing{};
const outcome finishes{run_control_action::finish_program, std::nullopt};
const outcome pauses{run_control_action::pause_program, std::nullopt};
const outcome steps_display{run_control_action::step_display, std::nullopt};

outcome key_down_of(unsigned long keysym, unsigned state, bool paused = false) {
    const key_press press = press_from_x_key(keysym, modifiers_from_x_state(state, alt));
    outcome result;
    result.action = classify_key_down(press, paused);
    if (result.action == run_control_action::ordinary_key) result.entry = translate_key(press);
    return result;
}

struct x_key_case {
    const char* what;
    unsigned long keysym;  // as XLookupString gives it for the keys pressed
    unsigned state;        // the event's modifier bits
    outcome expected;
};

void expect_cases(const x_key_case* first, const x_key_case* last) {
    for (const x_key_case* c = first; c != last; ++c)
        EXPECT_EQ(key_down_of(c->keysym, c->state).text(), c->expected.text()) << c->what;
}

// The keys that the window used to misread, each as the key table reads it.
TEST(window_keys, ctrl_shift_tab_and_alt_combinations_read_as_the_key_table_reads_them) {
    const x_key_case cases[] = {
        {"Ctrl+Space", XK_space, ctrl, gives(32, 57)},
        {"Ctrl+2", XK_2, ctrl, extended(3)},
        {"Ctrl+@ (Shift+2)", XK_at, ctrl | shift, extended(3)},
        {"Ctrl+3", XK_3, ctrl, nothing},
        {"Ctrl+4", XK_4, ctrl, nothing},
        {"Ctrl+5", XK_5, ctrl, nothing},
        {"Ctrl+7", XK_7, ctrl, nothing},
        {"Ctrl+8", XK_8, ctrl, nothing},
        {"Ctrl+9", XK_9, ctrl, nothing},
        {"Ctrl+0", XK_0, ctrl, nothing},
        {"Ctrl+`", XK_grave, ctrl, nothing},
        {"Ctrl+.", XK_period, ctrl, nothing},
        {"Ctrl+/", XK_slash, ctrl, nothing},
        {"Ctrl+6", XK_6, ctrl, gives(30, 7)},
        {"Ctrl+^ (Shift+6)", XK_asciicircum, ctrl | shift, gives(30, 7)},
        {"Ctrl+-", XK_minus, ctrl, gives(31, 12)},
        {"Ctrl+\\", XK_backslash, ctrl, gives(28, 43)},
        {"Ctrl+]", XK_bracketright, ctrl, gives(29, 27)},
        {"Ctrl+[", XK_bracketleft, ctrl, gives(27, 26)},
        {"Ctrl+Enter", XK_Return, ctrl, gives(10, 28)},
        {"Ctrl+keypad Enter", XK_KP_Enter, ctrl | num, gives(10, 28)},
        {"Shift+Tab", XK_ISO_Left_Tab, shift, extended(15)},
        {"ISO_Left_Tab from a keymap that sets no Shift", XK_ISO_Left_Tab, 0, extended(15)},
        {"Alt+a", XK_a, alt, extended(30)},
        {"Alt+Z (Shift)", XK_Z, alt | shift, extended(44)},
        {"Alt+1", XK_1, alt, extended(2)},
        {"Alt+0", XK_0, alt, extended(11)},
        {"Alt+Backspace", XK_BackSpace, alt, extended(14)},
    };
    expect_cases(std::begin(cases), std::end(cases));
}

// Every printable character with Ctrl: the letters give 1 to 26, a few symbols
// their control bytes, 2 and @ an extended key; every other code gives nothing.
TEST(window_keys, every_printable_character_with_ctrl) {
    for (unsigned long code = 33; code <= 126; ++code) {
        const char c = char(code);
        outcome expected = nothing;
        const uint8_t scan_code = uint8_t(key_table()[code].scan_code);
        if (c >= 'a' && c <= 'z') expected = gives(uint8_t(c - 'a' + 1), scan_code);
        else if (c >= 'A' && c <= 'Z') expected = gives(uint8_t(c - 'A' + 1), scan_code);
        else if (c == '[' || c == '{') expected = gives(27, scan_code);
        else if (c == '\\' || c == '|') expected = gives(28, scan_code);
        else if (c == ']' || c == '}') expected = gives(29, scan_code);
        else if (c == '6' || c == '^') expected = gives(30, scan_code);
        else if (c == '-' || c == '_') expected = gives(31, scan_code);
        else if (c == '2' || c == '@') expected = extended(3);
        EXPECT_EQ(key_down_of(code, ctrl).text(), expected.text()) << "Ctrl+" << c;
        EXPECT_EQ(key_down_of(code, 0).text(), gives(uint8_t(code), scan_code).text()) << c;
        EXPECT_EQ(key_down_of(code, alt).text(), extended(scan_code).text()) << "Alt+" << c;
    }
}

TEST(window_keys, character_and_editing_keys) {
    const x_key_case cases[] = {
        {"a", XK_a, 0, gives('a', 30)},
        {"Shift+a", XK_A, shift, gives('A', 30)},
        {"a with Caps Lock", XK_A, caps, gives('A', 30)},
        {"Ctrl+C", XK_c, ctrl, gives(3, 46)},
        {"Ctrl+Shift+C", XK_C, ctrl | shift, gives(3, 46)},
        {"Ctrl+G", XK_g, ctrl, gives(7, 34)},
        {"Ctrl+H is Backspace", XK_h, ctrl, gives(8, 35)},
        {"Ctrl+I is Tab", XK_i, ctrl, gives(9, 23)},
        {"Ctrl+J", XK_j, ctrl, gives(10, 36)},
        {"Ctrl+M is Enter", XK_m, ctrl, gives(13, 50)},
        {"Space", XK_space, 0, gives(32, 57)},
        {"Shift+Space", XK_space, shift, gives(32, 57)},
        {"Alt+Space", XK_space, alt, nothing},
        {"Backspace", XK_BackSpace, 0, gives(8, 14)},
        {"Shift+Backspace", XK_BackSpace, shift, gives(8, 14)},
        {"Ctrl+Backspace", XK_BackSpace, ctrl, gives(8, 35)},
        {"Tab", XK_Tab, 0, gives(9, 15)},
        {"Ctrl+Tab", XK_Tab, ctrl, gives(9, 23)},
        {"Alt+Tab", XK_Tab, alt, nothing},
        {"Enter", XK_Return, 0, gives(13, 28)},
        {"Shift+Enter", XK_Return, shift, gives(13, 28)},
        {"Esc", XK_Escape, 0, gives(27, 1)},
        {"Ctrl+Esc", XK_Escape, ctrl, gives(27, 1)},
        {"Alt+Esc", XK_Escape, alt, nothing},
        {"Latin-1 e acute", XK_eacute, 0, gives(0xE9, 0)},
        {"Latin-1 section sign with Ctrl", XK_section, ctrl, gives(0xA7, 0)},
        {"Latin-1 y diaeresis with Alt", XK_ydiaeresis, alt, gives(0xFF, 0)},
    };
    expect_cases(std::begin(cases), std::end(cases));
}

TEST(window_keys, function_cursor_and_keypad_keys) {
    const x_key_case cases[] = {
        {"F1", XK_F1, 0, extended(59)},
        {"Shift+F1", XK_F1, shift, extended(84)},
        {"Ctrl+F1", XK_F1, ctrl, extended(94)},
        {"Alt+F1", XK_F1, alt, extended(104)},
        {"F10", XK_F10, 0, extended(68)},
        {"F11", XK_F11, 0, extended(133)},
        {"F12", XK_F12, 0, extended(134)},
        {"Alt+F12", XK_F12, alt, extended(140)},
        {"Ctrl+Alt+F1 as the keymap names it", XF86XK_Switch_VT_1, ctrl | alt, extended(104)},
        {"Home", XK_Home, 0, extended(71)},
        {"Ctrl+Home", XK_Home, ctrl, extended(119)},
        {"Up", XK_Up, 0, extended(72)},
        {"Page Up", XK_Prior, 0, extended(73)},
        {"Left", XK_Left, 0, extended(75)},
        {"Right", XK_Right, 0, extended(77)},
        {"End", XK_End, 0, extended(79)},
        {"Down", XK_Down, 0, extended(80)},
        {"Page Down", XK_Next, 0, extended(81)},
        {"Insert", XK_Insert, 0, extended(82)},
        {"Delete", XK_Delete, 0, extended(83)},
        {"Ctrl+Delete", XK_Delete, ctrl, extended(147)},
        // Num Lock off: the keypad's cursor keys; keypad 5 gives nothing.
        {"keypad 7 as Home", XK_KP_Home, 0, extended(71)},
        {"keypad 8 as Up", XK_KP_Up, 0, extended(72)},
        {"keypad 9 as Page Up", XK_KP_Prior, 0, extended(73)},
        {"keypad 4 as Left", XK_KP_Left, 0, extended(75)},
        {"keypad 5 as Begin", XK_KP_Begin, 0, nothing},
        {"keypad 6 as Right", XK_KP_Right, 0, extended(77)},
        {"keypad 1 as End", XK_KP_End, 0, extended(79)},
        {"keypad 2 as Down", XK_KP_Down, 0, extended(80)},
        {"keypad 3 as Page Down", XK_KP_Next, 0, extended(81)},
        {"keypad 0 as Insert", XK_KP_Insert, 0, extended(82)},
        {"keypad . as Delete", XK_KP_Delete, 0, extended(83)},
        // Num Lock on: the keypad's characters.
        {"keypad 7", XK_KP_7, num, gives('7', 8)},
        {"keypad 5", XK_KP_5, num, gives('5', 6)},
        {"keypad 0", XK_KP_0, num, gives('0', 11)},
        {"keypad .", XK_KP_Decimal, num, gives('.', 52)},
        {"keypad +", XK_KP_Add, 0, gives('+', 13)},
        {"keypad -", XK_KP_Subtract, 0, gives('-', 12)},
        {"keypad *", XK_KP_Multiply, 0, gives('*', 9)},
        {"keypad /", XK_KP_Divide, 0, gives('/', 53)},
        {"keypad Enter", XK_KP_Enter, 0, gives(13, 28)},
    };
    expect_cases(std::begin(cases), std::end(cases));
}

// Modifier and lock keys alone, and keys the key table does not know: key-downs
// that give no entry.
const x_key_case keys_without_entry[] = {
    {"Shift", XK_Shift_L, 0, nothing},
    {"right Shift", XK_Shift_R, 0, nothing},
    {"Ctrl", XK_Control_L, 0, nothing},
    {"right Ctrl", XK_Control_R, shift, nothing},
    {"Alt", XK_Alt_L, 0, nothing},
    {"Shift+Alt gives Meta", XK_Meta_L, shift, nothing},
    {"AltGr", XK_ISO_Level3_Shift, 0, nothing},
    {"Super", XK_Super_L, 0, nothing},
    {"Caps Lock", XK_Caps_Lock, 0, nothing},
    {"Num Lock", XK_Num_Lock, 0, nothing},
    {"Scroll Lock", XK_Scroll_Lock, 0, nothing},
    {"Print Screen", XK_Print, 0, nothing},
    {"Menu", XK_Menu, 0, nothing},
    {"keypad 5 without Num Lock", XK_KP_Begin, 0, nothing},
    {"a dead key", XK_dead_acute, 0, nothing},
    {"a key without a keysym", NoSymbol, 0, nothing},
    {"a Unicode keysym (Cyrillic a)", 0x1000430, 0, nothing},
    {"Ctrl+Alt with a letter", XK_a, ctrl | alt, extended(30)},
};

TEST(window_keys, modifier_lock_and_unknown_keys_give_no_entry) {
    expect_cases(std::begin(keys_without_entry), std::end(keys_without_entry));
}

// Every key-down ends a pause and goes nowhere else, the keys without an entry
// among them.
TEST(window_keys, every_key_down_ends_a_pause) {
    for (const x_key_case& c : keys_without_entry)
        EXPECT_EQ(key_down_of(c.keysym, c.state, true).action, run_control_action::end_pause) << c.what;
    EXPECT_EQ(key_down_of(XK_a, 0, true).action, run_control_action::end_pause);
    EXPECT_EQ(key_down_of(XK_Return, alt, true).action, run_control_action::end_pause);
}

TEST(window_keys, run_control_keys) {
    const x_key_case cases[] = {
        {"Pause", XK_Pause, 0, pauses},
        {"Shift+Pause", XK_Pause, shift, pauses},
        {"Ctrl+Pause when the keymap keeps Pause", XK_Pause, ctrl, finishes},
        {"Ctrl+Pause as the usual keymap gives it", XK_Break, ctrl, finishes},
        {"Ctrl+Scroll Lock", XK_Scroll_Lock, ctrl, finishes},
        {"Ctrl+Num Lock", XK_Num_Lock, ctrl, pauses},
        {"Ctrl+Num Lock while Num Lock is on", XK_Num_Lock, ctrl | num, pauses},
        {"Alt+F4", XK_F4, alt, finishes},
        {"Ctrl+Alt+F4 as the keymap names it", XF86XK_Switch_VT_4, ctrl | alt, finishes},
        {"F4", XK_F4, 0, extended(62)},
        {"Alt+Enter", XK_Return, alt, steps_display},
        {"Ctrl+Alt+Enter", XK_Return, ctrl | alt, steps_display},
        {"Alt+keypad Enter", XK_KP_Enter, alt, steps_display},
    };
    expect_cases(std::begin(cases), std::end(cases));
}

}  // namespace
