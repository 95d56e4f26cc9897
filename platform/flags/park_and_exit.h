// The two ways out of a run that every layer may take, since they need nothing
// but the flags: the shell's thread parks for good, and any thread ends the
// process at once.
#pragma once

// Marks the shell's thread as stopped, waits for the stop request and sleeps for
// good. Never returns.
[[noreturn]] void halt_program_thread();

// Ends the process at once with the given code, safe while other threads run.
[[noreturn]] void exit_process(int code);
