// The short lock between the shell's writes to the text screen and the display
// pass that copies it.
#pragma once
#include <functional>

#include "short_lock.h"

// THREADING: the shell's thread holds it while it changes the runtime's screen;
// the main-loop thread holds it for the copy of one display pass. Nothing waits
// while holding it, so neither side waits longer than one copy or one print;
// only a holder that an arithmetic exception parks keeps it for good, and the
// display pass, which waits for it in timed steps, then gives up.
short_lock& screen_mutex();

// Holds the screen lock for a scope; guards nest on one thread.
class screen_guard {
public:
    screen_guard();
    ~screen_guard();
    screen_guard(const screen_guard&) = delete;
    screen_guard& operator=(const screen_guard&) = delete;
};

// Runs a wait with the screen lock let go, when this thread holds it.
void screen_unlock_while(const std::function<void()>& wait);
