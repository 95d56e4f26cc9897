// Error reports: raising an error, the error dialog and the critical errors.
#pragma once
#include <cstdint>

// Raises runtime error n. An immediate critical number shows its box and ends the
// process; otherwise a pending error stays (n is dropped), n <= 0 becomes 5, and
// error_pending then event_pending are set. Any thread may call it.
void raise_error(int32_t number);

// The error dialog for the pending error, shown by statement_check on the shell's
// thread at the given statement. Returns only when the run goes on.
void report_unhandled_error(uint32_t statement_number);

// The description of an error number ("Unprintable error" when it has none).
const char* error_description(uint32_t number);

// The arithmetic-exception handler: raises the critical error 11.
void on_arithmetic_signal(int signal_number);

// The program file name shown in the dialog's title: the first command-line
// argument after its last slash or backslash.
void set_program_path(const char* path);
const char* program_path();
