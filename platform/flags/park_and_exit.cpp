#include "park_and_exit.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "run_flags.h"

namespace {
constexpr auto park_step = std::chrono::milliseconds(16);
}

void halt_program_thread() {
    auto& f = flags();
    f.threads_done.fetch_or(shell_thread_done, std::memory_order_acq_rel);
    while (!stop_is_requested()) std::this_thread::sleep_for(park_step);
    for (;;) std::this_thread::sleep_for(park_step);
}

void exit_process(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    // The other threads are still running (the window's inside its event loop):
    // end at once, without running destructors under their feet.
    _exit(code);
}
