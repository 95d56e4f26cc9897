// The window front end: a freeglut window of 640 x 400 pixels titled "Untitled"
// that shows the display copy, hands the close request to the runtime and every
// key press to key_down (through its own X connection, x_key_watch.h), and
// follows the Alt+Enter display modes.
#pragma once
#include "console_runtime.h"

class glut_window : public front_end {
public:
    // On the initial thread: opens the window and runs its event loop until the
    // process ends. Without a usable display it says so on standard error and
    // ends the process with code 1.
    void run() override;
};
