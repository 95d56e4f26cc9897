#include "window_keys.h"

#include <GL/freeglut.h>
#include <X11/keysym.h>

#include <array>

namespace {

// freeglut special key -> the runtime's special key.
struct glut_special_row {
    int glut_key;
    special_key key;
};
// GLUT_KEY_...              special_key
constexpr std::array<glut_special_row, 29> glut_special_keys{{
    {GLUT_KEY_F1, special_key::f1},
    {GLUT_KEY_F2, special_key::f2},
    {GLUT_KEY_F3, special_key::f3},
    {GLUT_KEY_F4, special_key::f4},
    {GLUT_KEY_F5, special_key::f5},
    {GLUT_KEY_F6, special_key::f6},
    {GLUT_KEY_F7, special_key::f7},
    {GLUT_KEY_F8, special_key::f8},
    {GLUT_KEY_F9, special_key::f9},
    {GLUT_KEY_F10, special_key::f10},
    {GLUT_KEY_F11, special_key::f11},
    {GLUT_KEY_F12, special_key::f12},
    {GLUT_KEY_HOME, special_key::home},
    {GLUT_KEY_UP, special_key::up},
    {GLUT_KEY_PAGE_UP, special_key::page_up},
    {GLUT_KEY_LEFT, special_key::left},
    {GLUT_KEY_RIGHT, special_key::right},
    {GLUT_KEY_END, special_key::end},
    {GLUT_KEY_DOWN, special_key::down},
    {GLUT_KEY_PAGE_DOWN, special_key::page_down},
    {GLUT_KEY_INSERT, special_key::insert},
    {GLUT_KEY_DELETE, special_key::delete_key},  // keypad Delete; the main Delete arrives as character 127
    {GLUT_KEY_SHIFT_L, special_key::shift},
    {GLUT_KEY_SHIFT_R, special_key::shift},
    {GLUT_KEY_CTRL_L, special_key::ctrl},
    {GLUT_KEY_CTRL_R, special_key::ctrl},
    {GLUT_KEY_ALT_L, special_key::alt},
    {GLUT_KEY_ALT_R, special_key::alt},
    {GLUT_KEY_NUM_LOCK, special_key::none},      // reported as a lock state instead
}};

// X keysym -> the runtime's special key, for the keys freeglut leaves out.
struct x_keysym_row {
    unsigned long keysym;
    special_key key;
};
// keysym          special_key
constexpr std::array<x_keysym_row, 3> x_keysym_keys{{
    {XK_Pause, special_key::pause},
    {XK_Break, special_key::break_key},
    {XK_Scroll_Lock, special_key::scroll_lock},
}};

}  // namespace

key_modifiers modifiers_from_glut(int glut_modifier_bits) {
    return key_modifiers{(glut_modifier_bits & GLUT_ACTIVE_SHIFT) != 0,
                         (glut_modifier_bits & GLUT_ACTIVE_CTRL) != 0,
                         (glut_modifier_bits & GLUT_ACTIVE_ALT) != 0};
}

std::optional<key_press> press_from_glut_special(int glut_key, key_modifiers modifiers) {
    for (const glut_special_row& row : glut_special_keys)
        if (row.glut_key == glut_key) {
            if (row.key == special_key::none)
                return std::nullopt;
            return special_press(row.key, modifiers);
        }
    return std::nullopt;
}

std::optional<key_press> press_from_x_keysym(unsigned long keysym, key_modifiers modifiers) {
    for (const x_keysym_row& row : x_keysym_keys)
        if (row.keysym == keysym) {
            const special_key key = row.key == special_key::pause && modifiers.ctrl ? special_key::break_key : row.key;
            return special_press(key, modifiers);
        }
    return std::nullopt;
}
