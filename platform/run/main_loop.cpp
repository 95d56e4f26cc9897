#include "main_loop.h"

#include <chrono>
#include <thread>

#include "arithmetic_exception.h"
#include "display_copy.h"
#include "end_of_run.h"
#include "park_and_exit.h"
#include "run_flags.h"
#include "text_screen.h"

namespace {

[[noreturn]] void end_sequence() {
    auto& f = flags();
    f.stop_requested.store(1, std::memory_order_release);
    f.event_pending.store(1, std::memory_order_release);
    // A thread that an arithmetic exception parked never marks itself done: the
    // wait ends then too, and this ending ends the run with its own code.
    while (f.threads_done.load(std::memory_order_acquire) != (shell_thread_done | timer_thread_done) &&
           !arithmetic_exception_parked_a_thread()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    close_files();
    exit_process(f.exit_code.load(std::memory_order_acquire));
}

}  // namespace

void run_main_loop() {
    auto& f = flags();
    for (uint64_t pass = 0;; ++pass) {
        // This thread blocks SIGFPE from birth, so no signal parks it: it reports
        // the exception that parked another thread, or a SIGFPE sent to itself,
        // which waits on it. While it shows the box, no end sequence can end the
        // process with another code.
        if (arithmetic_exception_caught()) report_arithmetic_exception();
        if (f.close_requested.load(std::memory_order_acquire) != 0) end_sequence();
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (pass % 2 == 1) publish_display_frame(the_screen());
        if (f.program_finished.load(std::memory_order_acquire) != 0) end_sequence();
    }
}

void run_timer_thread() {
    while (!stop_is_requested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    flags().threads_done.fetch_or(timer_thread_done, std::memory_order_acq_rel);
}
