#include "window_keys.h"

#include <X11/X.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <array>

namespace {

// Keysyms that are character keys other than the Latin-1 range.
struct character_keysym {
    unsigned long keysym;
    uint8_t alone;      // the character code reported
    uint8_t with_ctrl;  // the code reported with Ctrl held
    bool shifted;       // the keysym itself says that Shift is held
};
// keysym             alone with Ctrl shifted
constexpr std::array<character_keysym, 24> character_keysyms{{
    {XK_BackSpace,       8,    8,  false},
    {XK_Tab,             9,    9,  false},
    {XK_ISO_Left_Tab,    9,    9,  true},
    {XK_Return,         13,   10,  false},
    {XK_Escape,         27,   27,  false},
    {XK_KP_Enter,       13,   10,  false},
    {XK_KP_Tab,          9,    9,  false},
    {XK_KP_Space,      ' ',  ' ',  false},
    {XK_KP_0,          '0',  '0',  false},
    {XK_KP_1,          '1',  '1',  false},
    {XK_KP_2,          '2',  '2',  false},
    {XK_KP_3,          '3',  '3',  false},
    {XK_KP_4,          '4',  '4',  false},
    {XK_KP_5,          '5',  '5',  false},
    {XK_KP_6,          '6',  '6',  false},
    {XK_KP_7,          '7',  '7',  false},
    {XK_KP_8,          '8',  '8',  false},
    {XK_KP_9,          '9',  '9',  false},
    {XK_KP_Decimal,    '.',  '.',  false},
    {XK_KP_Add,        '+',  '+',  false},
    {XK_KP_Subtract,   '-',  '-',  false},
    {XK_KP_Multiply,   '*',  '*',  false},
    {XK_KP_Divide,     '/',  '/',  false},
    {XK_KP_Equal,      '=',  '=',  false},
}};

// Keysyms that are special keys. The keypad's cursor keys are what the keypad
// gives without Num Lock; keypad 5 then gives KP_Begin, which is not here.
struct special_keysym {
    unsigned long keysym;
    special_key key;
};
// keysym                  special_key
constexpr std::array<special_keysym, 66> special_keysyms{{
    {XK_F1, special_key::f1},
    {XK_F2, special_key::f2},
    {XK_F3, special_key::f3},
    {XK_F4, special_key::f4},
    {XK_F5, special_key::f5},
    {XK_F6, special_key::f6},
    {XK_F7, special_key::f7},
    {XK_F8, special_key::f8},
    {XK_F9, special_key::f9},
    {XK_F10, special_key::f10},
    {XK_F11, special_key::f11},
    {XK_F12, special_key::f12},
    // Ctrl+Alt with a function key, as the usual keymaps give it.
    {XF86XK_Switch_VT_1, special_key::f1},
    {XF86XK_Switch_VT_2, special_key::f2},
    {XF86XK_Switch_VT_3, special_key::f3},
    {XF86XK_Switch_VT_4, special_key::f4},
    {XF86XK_Switch_VT_5, special_key::f5},
    {XF86XK_Switch_VT_6, special_key::f6},
    {XF86XK_Switch_VT_7, special_key::f7},
    {XF86XK_Switch_VT_8, special_key::f8},
    {XF86XK_Switch_VT_9, special_key::f9},
    {XF86XK_Switch_VT_10, special_key::f10},
    {XF86XK_Switch_VT_11, special_key::f11},
    {XF86XK_Switch_VT_12, special_key::f12},
    {XK_Home, special_key::home},
    {XK_Up, special_key::up},
    {XK_Prior, special_key::page_up},
    {XK_Left, special_key::left},
    {XK_Right, special_key::right},
    {XK_End, special_key::end},
    {XK_Down, special_key::down},
    {XK_Next, special_key::page_down},
    {XK_Insert, special_key::insert},
    {XK_Delete, special_key::delete_key},
    {XK_KP_Home, special_key::home},
    {XK_KP_Up, special_key::up},
    {XK_KP_Prior, special_key::page_up},
    {XK_KP_Left, special_key::left},
    {XK_KP_Right, special_key::right},
    {XK_KP_End, special_key::end},
    {XK_KP_Down, special_key::down},
    {XK_KP_Next, special_key::page_down},
    {XK_KP_Insert, special_key::insert},
    {XK_KP_Delete, special_key::delete_key},
    {XK_Pause, special_key::pause},
    {XK_Break, special_key::break_key},
    {XK_Scroll_Lock, special_key::scroll_lock},
    {XK_Num_Lock, special_key::num_lock},
    {XK_Caps_Lock, special_key::caps_lock},
    {XK_Shift_Lock, special_key::caps_lock},
    {XK_Shift_L, special_key::shift},
    {XK_Shift_R, special_key::shift},
    {XK_Control_L, special_key::ctrl},
    {XK_Control_R, special_key::ctrl},
    {XK_Alt_L, special_key::alt},
    {XK_Alt_R, special_key::alt},
    // Shift with an Alt key gives Meta in the usual keymaps.
    {XK_Meta_L, special_key::alt},
    {XK_Meta_R, special_key::alt},
    // Keys the key table does not know, named here so that the table reads
    // whole; any keysym not listed gives the same.
    {XK_Print, special_key::other},
    {XK_Menu, special_key::other},
    {XK_Super_L, special_key::other},
    {XK_Super_R, special_key::other},
    {XK_Hyper_L, special_key::other},
    {XK_Hyper_R, special_key::other},
    {XK_ISO_Level3_Shift, special_key::other},
    {XK_KP_Begin, special_key::other},
}};

bool is_latin1_character(unsigned long keysym) {
    return (keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF);
}

}  // namespace

key_modifiers modifiers_from_x_state(unsigned state, unsigned alt_mask) {
    return key_modifiers{(state & ShiftMask) != 0, (state & ControlMask) != 0, (state & alt_mask) != 0};
}

key_press press_from_x_key(unsigned long keysym, key_modifiers held) {
    if (is_latin1_character(keysym))
        return character_press(uint8_t(keysym), held);
    for (const character_keysym& row : character_keysyms)
        if (row.keysym == keysym) {
            if (row.shifted)
                held.shift = true;
            return character_press(held.ctrl ? row.with_ctrl : row.alone, held);
        }
    for (const special_keysym& row : special_keysyms)
        if (row.keysym == keysym) {
            const bool is_break = row.key == special_key::pause && held.ctrl;
            return special_press(is_break ? special_key::break_key : row.key, held);
        }
    return special_press(special_key::other, held);
}
