// The arithmetic exception (SIGFPE): caught on any thread, reported from the
// main-loop thread as the critical error "Division by zero".
#pragma once
#include <csignal>

// The handler. It does only what is safe inside a signal handler: it marks the
// exception for the main-loop thread and parks the thread that took the signal
// for good (returning would run the faulting instruction again).
[[noreturn]] void on_arithmetic_signal(int signal_number);

// Any thread: true once the handler has parked a thread for good. That thread
// never lets go of a lock it holds, and never marks itself done.
bool arithmetic_exception_parked_a_thread();

// Main-loop thread: true once the handler has marked an exception, or when a
// SIGFPE waits on this thread, which blocks it (see arithmetic_signal_blocked);
// and the critical error division_by_zero that reports it (box,
// critical_exit_code).
bool arithmetic_exception_caught();
[[noreturn]] void report_arithmetic_exception();

// Blocks SIGFPE on the calling thread for its scope, so that a thread started
// inside it is born with SIGFPE blocked: a SIGFPE sent to that thread then waits
// on it instead of parking it. A real arithmetic fault on such a thread kills
// the process, which the kernel does for a fault whose signal is blocked.
class arithmetic_signal_blocked {
public:
    arithmetic_signal_blocked();
    ~arithmetic_signal_blocked();
    arithmetic_signal_blocked(const arithmetic_signal_blocked&) = delete;
    arithmetic_signal_blocked& operator=(const arithmetic_signal_blocked&) = delete;

private:
    sigset_t previous_mask_;
};
