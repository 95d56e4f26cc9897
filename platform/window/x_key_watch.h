// The one source of key-downs: a second connection to the X server beside
// freeglut's, which selects the key presses of the program's window (several
// clients may select KeyPress on one window) and hands every one of them to
// key_down, in the order the server delivered them. freeglut's own connection
// reports no keys to the runtime.
#pragma once
#include <X11/Xlib.h>

// Invariant: display is null until open() succeeds; once watch() has run,
// KeyPress is selected on window and alt_mask is the Alt keys' modifier bit.
// THREADING: the window thread only.
class x_key_watch {
public:
    // Opens the connection to the display the program runs on; false when it
    // cannot be opened.
    bool open();

    // Starts watching the program's window (an X window id); every key pressed
    // in it once this returns reaches handle_events.
    void watch(Window program_window);

    // The connection's file descriptor for poll(), or -1 before open().
    int connection_fd() const;

    // True when events already read wait in the connection's queue.
    bool has_queued_events() const;

    // Reads every waiting event and hands each key press to key_down, with the
    // modifiers held. Flushes the connection.
    void handle_events();

    // Makes sure that every key press the server has delivered so far has been
    // read (one round trip), then handles them all.
    void take_in_every_key();

private:
    Display* display = nullptr;  // the second connection
    Window window = 0;           // the program's window
    unsigned alt_mask = 0;       // the modifier bit of the Alt keys
};
