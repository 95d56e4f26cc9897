// The end of a run: the prompt on the bottom row, the wait for a key, parking.
#pragma once

// Shows "Press any key to continue" on row 25, throws away the keys typed ahead,
// waits for a new key, finishes the run and parks. Never returns.
[[noreturn]] void end_program();

// Marks the shell's thread as stopped, waits for the stop request and sleeps for
// good. Never returns.
[[noreturn]] void halt_program_thread();

// Closes every open file and connection of the runtime (this system opens none).
void close_files();
