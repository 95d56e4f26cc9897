// Start-up of the console runtime: screen and keyboard state, the shell's thread,
// the main-loop and timer threads, then the front end on the initial thread.
#pragma once

// What runs on the initial thread once the runtime has started: the window's
// event loop, or a test's driver. It never needs to return; the process ends
// from the main-loop thread.
struct front_end {
    virtual ~front_end() = default;
    virtual void run() = 0;
};

using shell_routine = void (*)();

// Sets up the screen and the keyboard state, starts the shell routine on a thread
// of its own, starts the main-loop and timer threads and then runs the front end.
// Never returns.
[[noreturn]] void run_console(int argc, char** argv, shell_routine routine, front_end& window);
