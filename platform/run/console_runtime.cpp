#include "console_runtime.h"

#include <pthread.h>

#include <chrono>
#include <thread>

#include "arithmetic_exception.h"
#include "error_dialog.h"
#include "key_buffer.h"
#include "main_loop.h"
#include "run_flags.h"
#include "text_screen.h"

namespace {

// Starts a thread that runs for the rest of the process, under a name that
// /proc/self/task/*/comm shows (at most 15 bytes). The name is given before this
// returns, so whoever looks for it after start-up finds it.
void start_named_thread(const char* name, void (*body)()) {
    std::thread thread(body);
    ::pthread_setname_np(thread.native_handle(), name);
    thread.detach();
}

}  // namespace

void run_console(int argc, char** argv, shell_routine routine, front_end& window) {
    set_program_path(argc > 0 ? argv[0] : "");
    the_screen();
    key_buffer();
    flags();
    start_named_thread("shell", routine);
    {
        // The main-loop thread reports the arithmetic exception, so no SIGFPE may
        // park it: it is born with SIGFPE blocked and sees one sent to it as
        // waiting. The other threads keep the initial thread's mask.
        arithmetic_signal_blocked blocked;
        start_named_thread("main loop", run_main_loop);
    }
    start_named_thread("timer", run_timer_thread);
    window.run();
    // A front end that returns leaves the process to the main-loop thread.
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}
