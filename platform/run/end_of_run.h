// The end of a run: the prompt on the bottom row and the wait for a key.
#pragma once

// Shows "Press any key to continue" on row 25, throws away the keys typed ahead,
// waits for a new key, finishes the run and parks. Never returns.
[[noreturn]] void end_program();

// The runtime's place for closing every open file and connection, called by the
// end of the run and by the main-loop thread's end sequence. This system opens
// none, so it does nothing.
void close_files();
