#include "park_and_exit.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "run_flags.h"

namespace {

constexpr auto park_step = std::chrono::milliseconds(16);

// Flushes a stream unless another thread holds it: a thread parked for good
// inside stdio (an arithmetic exception) would otherwise hold up the exit.
// False when the stream is held.
bool flush_unless_held(FILE* stream) {
    if (::ftrylockfile(stream) != 0) return false;
    ::fflush_unlocked(stream);
    ::funlockfile(stream);
    return true;
}

}  // namespace

void halt_program_thread() {
    auto& f = flags();
    f.threads_done.fetch_or(shell_thread_done, std::memory_order_acq_rel);
    while (!stop_is_requested()) std::this_thread::sleep_for(park_step);
    for (;;) std::this_thread::sleep_for(park_step);
}

void exit_process(int code) {
    const bool flushed_stdout = flush_unless_held(stdout);
    const bool flushed_stderr = flush_unless_held(stderr);
    // A stream held for good would stop any exit that flushes it, as a
    // sanitizer's _exit does: the process then ends by the system call itself.
    if (!flushed_stdout || !flushed_stderr) ::syscall(SYS_exit_group, code);
    // The other threads are still running (the window's inside its event loop):
    // end at once, without running destructors under their feet.
    _exit(code);
}
