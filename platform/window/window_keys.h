// How a key pressed in the program's window becomes a key press for key_down:
// from the X keysym and the modifiers held, never from the text that a lookup
// of the key makes (which turns Ctrl+3 into Esc and drops Shift+Tab).
#pragma once
#include "key_press.h"

// The modifiers held, from an X key event's state bits; alt_mask is the
// modifier bit that the Alt keys set on this display.
key_modifiers modifiers_from_x_state(unsigned state, unsigned alt_mask);

// One key press in the program's window, from its keysym (as XLookupString
// gives it: Shift, Caps Lock and Num Lock applied) and the modifiers held.
// Every key press is a key-down: a keysym this table does not know gives
// special_key::other, which ends a pause and adds no entry.
//   - Latin-1 keysyms (0x20..0x7E, 0xA0..0xFF) are that character, reported as
//     such also with Ctrl or Alt held: the key table makes Ctrl+3 nothing and
//     Ctrl+[ an Esc.
//   - Return and keypad Enter are 13, and 10 with Ctrl held (the key table's
//     Ctrl column of Enter); ISO_Left_Tab is Tab with Shift.
//   - The keypad with Num Lock on gives its characters, without it the cursor
//     keys; Pause with Ctrl held counts as Break, whatever the keymap makes of it.
key_press press_from_x_key(unsigned long keysym, key_modifiers held);
