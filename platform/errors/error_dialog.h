// The error dialog: how the per-statement check reports the pending error.
#pragma once
#include <cstddef>
#include <cstdint>

// The error dialog for the pending error, shown by statement_check on the shell's
// thread. The position is the statement number, or, when included_line is not 0,
// that line of the included file. Yes, or no answer, clears the error and returns;
// No finishes the run and parks the thread; a reported critical error ends the
// process with critical_exit_code after its OK box.
void report_unhandled_error(uint32_t statement_number, uint32_t included_line = 0,
                            const char* included_file = nullptr);

// The program path whose file name the dialog's title shows: the first
// command-line argument, as the process was started.
void set_program_path(const char* path);
const char* program_path();

// Test seam: where the dialog's title and text are stored: std::malloc, or what a
// test puts in its place (storage that std::free releases, or null). No storage
// ends the process with critical_exit_code, without a box.
extern void* (*dialog_text_storage)(size_t size);
