#include "park_and_exit.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "run_flags.h"

namespace {

constexpr auto park_step = std::chrono::milliseconds(16);

// Flushes a stream unless another thread holds it: a thread parked for good
// inside stdio (an arithmetic exception) would otherwise hold up the exit.
void flush_unless_held(FILE* stream) {
    if (::ftrylockfile(stream) != 0) return;
    ::fflush_unlocked(stream);
    ::funlockfile(stream);
}

}  // namespace

void halt_program_thread() {
    auto& f = flags();
    f.threads_done.fetch_or(shell_thread_done, std::memory_order_acq_rel);
    while (!stop_is_requested()) std::this_thread::sleep_for(park_step);
    for (;;) std::this_thread::sleep_for(park_step);
}

void exit_process(int code) {
    flush_unless_held(stdout);
    flush_unless_held(stderr);
    // The other threads are still running (the window's inside its event loop):
    // end at once, without running destructors under their feet.
    _exit(code);
}
