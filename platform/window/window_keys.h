// How the window system's key reports become key presses for key_down: freeglut's
// special keys and modifier bits, and the X keysyms that freeglut does not report.
#pragma once
#include <optional>

#include "key_down.h"

// freeglut's glutGetModifiers() bits as held modifiers.
key_modifiers modifiers_from_glut(int glut_modifier_bits);

// A freeglut special key (GLUT_KEY_...) as a key press, or nothing for a key that
// goes elsewhere or nowhere: Num Lock (its state is reported through
// report_lock_states), Begin (keypad 5) and the Super keys.
std::optional<key_press> press_from_glut_special(int glut_key, key_modifiers modifiers);

// An X keysym seen on the window's own connection (Pause, Break, Scroll Lock) as
// a key press; nothing for any other keysym, which freeglut reports itself.
// Pause with Ctrl held counts as Break, whatever the keymap makes of it.
std::optional<key_press> press_from_x_keysym(unsigned long keysym, key_modifiers modifiers);
