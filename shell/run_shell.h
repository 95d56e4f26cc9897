// The shell routine, started once by the console runtime on a thread of its own.
#pragma once

// Runs the dialogue and the chosen program, then ends the run. Never returns.
void run_shell();
