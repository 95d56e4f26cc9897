// A second connection to the X server beside freeglut's, for what freeglut does
// not report: the Pause, Break and Scroll Lock keys pressed in the program's
// window, and the Caps Lock and Num Lock states.
#pragma once
#include <cstdint>

#include <X11/Xlib.h>

#include "key_down.h"

// Invariant: display is null until open() succeeds; once watch() has run, KeyPress
// is selected on window and, when the server has XKB, keyboard state changes are
// selected too. last_lock_bits is what report_lock_states last got.
// THREADING: the window thread only.
class x_key_watch {
public:
    // Opens the connection to the display the program runs on; false when it
    // cannot be opened.
    bool open();

    // Starts watching the program's window (an X window id) and reports the
    // current lock states at once.
    void watch(Window program_window);

    // The connection's file descriptor for poll(), or -1 before open().
    int connection_fd() const;

    // True when events already read wait in the connection's queue.
    bool has_queued_events() const;

    // Reads every waiting event: Pause, Break and Scroll Lock go to key_down with
    // the modifiers held; a change of the lock states goes to report_lock_states
    // with the modifiers held at that change. Flushes the connection.
    void handle_events();

private:
    void report_keyboard_state(unsigned locked_modifiers, unsigned held_modifiers);
    key_modifiers modifiers_from_x_state(unsigned state) const;

    Display* display = nullptr;     // the second connection
    Window window = 0;             // the program's window
    int xkb_event_base = -1;       // first XKB event number; -1 without XKB
    unsigned num_lock_mask = 0;    // the modifier bit that Num Lock locks
    unsigned alt_mask = 0;         // the modifier bit of the Alt keys
    bool reported = false;         // report_lock_states has been called once
    uint32_t last_lock_bits = 0;   // bit 0 Caps Lock, bit 1 Num Lock
};
