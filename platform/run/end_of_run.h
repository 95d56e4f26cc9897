// The end of a run: the prompt on the bottom row and the wait for a key.
#pragma once

// Shows "Press any key to continue" on row 25, throws away the keys typed ahead,
// waits for a new key, finishes the run and parks. Never returns.
[[noreturn]] void end_program();

// Closes every open file and connection of the runtime (this system opens none).
void close_files();
