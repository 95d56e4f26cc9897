// Error reports: raising an error, the error dialog and the critical errors.
#pragma once
#include <cstddef>
#include <cstdint>

// The immediate critical numbers that the runtime raises itself.
inline constexpr int32_t division_by_zero = 11;
// Out of memory, one number for each kind of storage. The family is 257 and 502
// to 518; a box reads "Critical Error #" and the number less 500 (1 for 257).
namespace out_of_memory {
inline constexpr int32_t static_values = 504;       // the start-up storage of the shell's numbers
inline constexpr int32_t released_list = 508;       // the list of released text values
inline constexpr int32_t text_store_setup = 509;    // the text store's first creation
inline constexpr int32_t text_register = 510;       // a new text value record
inline constexpr int32_t temporary_list = 511;      // the list of temporaries
inline constexpr int32_t text_storage = 512;        // a text value's bytes
inline constexpr int32_t first_screen_copy = 516;   // an input's saved screen
inline constexpr int32_t second_screen_copy = 517;  // an input's scratch screen
inline constexpr int32_t answer_line = 518;         // an input's answer line growing by a byte
}  // namespace out_of_memory

// Raises runtime error n. An immediate critical number (11, and the out-of-memory
// numbers 257 and 502 to 518) shows its box and ends the process with code 1, even
// while another error is pending; otherwise a pending error stays (n is dropped),
// n <= 0 becomes 5, and error_pending then event_pending are set. Any thread may
// call it.
void raise_error(int32_t number);

// raise_error for a number that is known to be immediate critical: shows its box
// and ends the process with code 1.
[[noreturn]] void raise_critical_error(int32_t number);

// The error dialog for the pending error, shown by statement_check on the shell's
// thread. The position is the statement number, or, when included_line is not 0,
// that line of the included file. Yes, or no answer, clears the error and returns;
// No finishes the run and parks the thread; a critical error (300 to 315) ends the
// process with code 1 after its OK box.
void report_unhandled_error(uint32_t statement_number, uint32_t included_line = 0,
                            const char* included_file = nullptr);

// The description of an error number ("Unprintable error" when it has none).
const char* error_description(uint32_t number);

// The arithmetic-exception handler (SIGFPE). It does only what is safe inside a
// signal handler: it marks the exception for the main-loop thread and parks the
// thread that took the signal for good (returning would run the faulting
// instruction again).
[[noreturn]] void on_arithmetic_signal(int signal_number);

// Main-loop thread: true once the handler has marked an exception, and the
// critical error 11 that reports it ("Division by zero"; box, exit code 1).
bool arithmetic_exception_caught();
[[noreturn]] void report_arithmetic_exception();

// The program path whose file name the dialog's title shows: the first
// command-line argument, as the process was started.
void set_program_path(const char* path);
const char* program_path();

// Test seam: where the dialog's title and text are stored: std::malloc, or what a
// test puts in its place (storage that std::free releases, or null). No storage
// ends the process with code 1, without a box.
extern void* (*dialog_text_storage)(size_t size);
