// While a message box is shown it owns the program's window: what is typed into
// the window then reaches neither the key buffer nor the run-control rules, as
// with a box whose owner window is disabled.
#pragma once
#include <cstdint>

// Any thread, before a box appears: from now on key_down drops every key-down.
// A box after which the process ends never gives the keys back.
void hold_window_keys();

// After a box that the run survives has closed (not on the window's thread):
// waits until the front end has taken in, and so dropped, every key the window
// system delivered up to now, then lets key-downs through again. Without a front
// end that takes in its keys on request (no window, or not open yet) it lets
// them through at once.
void release_window_keys();

// True while a box holds the window's keys; read by key_down.
bool window_keys_held();

// The front end's side, on the window's thread. Once its window takes keys, it
// says that it takes in its keys on request; then, at every turn of its event
// loop, it asks whether a release waits for it, and when one does, it fetches
// every key the window system has delivered, hands each to key_down (which drops
// it) and finishes the request with the number it was given.
void take_in_keys_on_request();
bool key_intake_requested(uint32_t& request);
void finish_key_intake(uint32_t request);
