// The one key-down entry: the window and the tests hand every key press here.
#pragma once
#include "key_press.h"

// Applies the run-control rules (Ctrl+Break, Alt+F4, Pause, the end of a pause,
// Alt+Enter) and hands every other key to the key table and the key buffer;
// while a message box owns the window (box_key_hold.h) it does nothing at all.
// Called only on the window's event thread, once for every key-down, in the
// order the keys were pressed: the key buffer's one producer.
void key_down(const key_press& press);

// The window's close request: sets close_requested; never takes the window down.
void request_close();
