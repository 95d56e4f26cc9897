// Run-control flags of the console runtime, shared by its four threads.
#pragma once
#include <atomic>
#include <cstdint>

// THREADING: four threads meet in these cells and no lock guards them. Each
// but the window thread carries its name ("shell", "main loop", "timer").
//   - shell thread:      runs run_shell; reads event_pending (acquire) after every
//                         statement and the reasons after it; clears event_pending
//                         in statement_check; sets the bit value shell_thread_done
//                         (1) in threads_done when parked; raises errors
//                         (error_pending then event_pending) and clears
//                         error_pending after the dialog; sets program_finished at
//                         the end of the run and when the dialog is answered No.
//   - window thread:     the initial thread, in the window's event loop; the only
//                         caller of key_down, which takes every key-down from the
//                         one X connection that reads the window's keys, in order.
//                         So it is the only writer of program_paused (Pause sets it
//                         before event_pending; the next key-down clears it) and of
//                         display_mode (Alt+Enter); it sets program_finished for
//                         Ctrl+Break, Ctrl+Scroll Lock and Alt+F4, and
//                         close_requested for the window's close request.
//   - main-loop thread:  the only writer of stop_requested, always before
//                         event_pending; the only thread that ends the process on a
//                         stop or finish, and the one that reports an arithmetic
//                         exception. It is born with SIGFPE blocked, so no signal
//                         parks it: a SIGFPE sent to it waits on it, and it reports
//                         that as it reports the mark of the handler, which parks
//                         whichever other thread (shell, window, timer) took the
//                         signal. Its end sequence, once begun, ends the run with
//                         exit_code even when such a parked thread never marks
//                         itself done.
//   - timer thread:      reads stop_requested; sets the bit value timer_thread_done
//                         (2) in threads_done as it ends.
// Every writer stores its reason before event_pending (release); the shell loads
// event_pending (acquire) before it reads a reason, so a check that event_pending
// brings about always finds its reason set. raise_error stores error_pending before
// event_pending the same way. The two threads_done bits are set with fetch_or so
// that neither can be lost.
struct run_flags {
    std::atomic<uint32_t> event_pending{0};    // non-zero: statement_check must run
    std::atomic<uint32_t> error_pending{0};    // number of the raised, unreported error
    std::atomic<uint8_t> stop_requested{0};    // set once by the end sequence; never cleared
    std::atomic<uint8_t> program_finished{0};  // the run is over; never cleared
    std::atomic<uint8_t> program_paused{0};    // Pause held until the next key-down
    std::atomic<uint32_t> close_requested{0};  // the window was asked to close; never cleared
    std::atomic<uint32_t> threads_done{0};     // bit value 1: shell parked; bit value 2: timer ended
    std::atomic<uint32_t> display_mode{0};     // Alt+Enter cycle position, 0 = windowed
    std::atomic<int> exit_code{0};             // the process exit code of the end sequence
};

inline constexpr uint32_t shell_thread_done = 1;
inline constexpr uint32_t timer_thread_done = 2;
inline constexpr uint32_t display_mode_count = 5;

run_flags& flags();

// True when a stop was requested; read afresh at every call.
inline bool stop_is_requested() {
    return flags().stop_requested.load(std::memory_order_acquire) != 0;
}
inline bool error_is_pending() {
    return flags().error_pending.load(std::memory_order_acquire) != 0;
}
