// The arithmetic exception (SIGFPE): caught on any thread, reported from the
// main-loop thread as the critical error "Division by zero".
#pragma once

// The handler. It does only what is safe inside a signal handler: it marks the
// exception for the main-loop thread and parks the thread that took the signal
// for good (returning would run the faulting instruction again).
[[noreturn]] void on_arithmetic_signal(int signal_number);

// Main-loop thread: true once the handler has marked an exception, and the
// critical error division_by_zero that reports it (box, critical_exit_code).
bool arithmetic_exception_caught();
[[noreturn]] void report_arithmetic_exception();
