// An arithmetic exception (SIGFPE) in whole runs, sent to one thread of the run
// at a time: whichever thread takes it, and whenever, the run ends, with the box
// "Division by zero" and exit code 1, or, once an ending has begun, as that
// ending ends it. A run that hangs instead is killed at the child's time limit.
#include <gtest/gtest.h>
#include <dirent.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "arithmetic_exception.h"
#include "error_run_plan.h"
#include "poll_until.h"
#include "screen_lock.h"

namespace {

using namespace error_runs;
using namespace std::chrono_literals;

constexpr key_modifiers alt{false, false, true};

// The thread of a run that takes the signal: one of the runtime's own, found by
// its name, or the driver's, the initial thread where the window's event loop
// would run.
enum class target { shell, main_loop, timer, driver };

// The names of the runtime's threads, by target.
const char* const runtime_thread_names[] = {"shell", "main loop", "timer"};

// The moment the signal comes.
enum class moment {
    at_name_prompt,            // the shell waits in its first input
    once_alt_f4_stops_at_end,  // Alt+F4 at "Press any key to continue", and the stop is requested
    holding_the_screen_lock,   // the shell routine raises it on itself, see fault_holding_the_screen
    holding_standard_output,   // the same, with standard output's lock held, see fault_holding_stdout
};

// The id of the thread of this process whose name is given; 0 unless exactly
// one has it. Read with readdir, which lets a thread end meanwhile.
pid_t thread_named(const std::string& name) {
    pid_t found = 0;
    int count = 0;
    DIR* tasks = ::opendir("/proc/self/task");
    if (tasks == nullptr) return 0;
    while (const dirent* task = ::readdir(tasks)) {
        if (task->d_name[0] == '.') continue;
        std::ifstream comm(std::string("/proc/self/task/") + task->d_name + "/comm");
        std::string shown;
        if (!std::getline(comm, shown) || shown != name) continue;
        found = pid_t(std::atoi(task->d_name));
        ++count;
    }
    ::closedir(tasks);
    return count == 1 ? found : 0;
}

// True while the thread waits in a futex: the main-loop thread does so only when
// it waits for a lock (its sleeps are nanosleeps).
bool waits_in_a_futex(pid_t thread) {
    std::ifstream call("/proc/self/task/" + std::to_string(thread) + "/syscall");
    long number = -1;
    return call >> number && number == SYS_futex;
}

void write_to_standard_error(const std::string& line) { (void)::write(STDERR_FILENO, line.data(), line.size()); }

// A shell routine that takes the screen lock, holds it until the display pass
// waits for it, and then raises SIGFPE on its own thread, which the handler
// parks with the lock held for good.
void fault_holding_the_screen() {
    std::signal(SIGFPE, on_arithmetic_signal);
    screen_guard guard;
    // This thread starts before the main-loop thread, so it looks for it until
    // it is there.
    pid_t main_loop = 0;
    const bool pass_waits = poll_until([&] {
        if (main_loop == 0) main_loop = thread_named("main loop");
        return main_loop != 0 && waits_in_a_futex(main_loop);
    });
    if (!pass_waits) write_to_standard_error("note\tno display pass waited for the screen lock\n");
    std::raise(SIGFPE);
}

// A shell routine that raises SIGFPE on its own thread while it holds standard
// output's lock, as a fault inside a print would: the process still exits.
void fault_holding_stdout() {
    std::signal(SIGFPE, on_arithmetic_signal);
    ::flockfile(stdout);
    std::raise(SIGFPE);
}

// Sends SIGFPE to the thread, as a fault on it would.
void signal_thread(run_driver& d, target whom) {
    const pid_t thread = whom == target::driver ? ::gettid() : thread_named(runtime_thread_names[int(whom)]);
    if (thread == 0) {
        d.note(std::string("no one thread named ") + runtime_thread_names[int(whom)]);
        return;
    }
    if (::tgkill(::getpid(), thread, SIGFPE) != 0) d.note("tgkill failed");
}

void drive_to(run_driver& d, moment when, target whom) {
    if (when == moment::holding_the_screen_lock || when == moment::holding_standard_output) return;
    if (!d.wait_for([](const screen_rows_text& rows) { return prompt_is_waiting(rows, name_prompt); })) return;
    if (when == moment::once_alt_f4_stops_at_end) {
        d.type("Bo\r\rnone\r");
        if (!d.wait_for([](const screen_rows_text& rows) { return trimmed(rows[24]) == end_line; })) return;
        d.press(special_press(special_key::f4, alt));
        // The signal must follow the stop request at once, while the shell still
        // sleeps in the end's wait and has not marked itself parked.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!stop_is_requested() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        if (!stop_is_requested()) {
            d.note("the stop was never requested");
            return;
        }
    }
    signal_thread(d, whom);
}

TEST(arithmetic_exception, ends_the_run_whichever_thread_takes_it_and_whenever) {
    struct exception_case {
        const char* what;
        moment when;
        target whom;
        bool division_box;  // the box "Division by zero" is shown, and the exit code is 1
    };
    const exception_case cases[] = {
        {"shell at the name prompt", moment::at_name_prompt, target::shell, true},
        {"main loop at the name prompt", moment::at_name_prompt, target::main_loop, true},
        {"timer at the name prompt", moment::at_name_prompt, target::timer, true},
        {"driver at the name prompt", moment::at_name_prompt, target::driver, true},
        {"shell once Alt+F4 stops the end", moment::once_alt_f4_stops_at_end, target::shell, false},
        {"main loop once Alt+F4 stops the end", moment::once_alt_f4_stops_at_end, target::main_loop, false},
        {"shell holding the screen lock", moment::holding_the_screen_lock, target::shell, true},
        {"shell holding standard output", moment::holding_standard_output, target::shell, true},
    };
    for (const exception_case& c : cases) {
        const shell_routine routine = c.when == moment::holding_the_screen_lock   ? fault_holding_the_screen
                                      : c.when == moment::holding_standard_output ? fault_holding_stdout
                                                                                  : run_shell;
        run_result r = run_headless(
            routine, [&c](run_driver& d) { drive_to(d, c.when, c.whom); },
            15s, [] { set_message_box_shower(record_box); });
        if (r.timed_out) {
            ADD_FAILURE() << c.what << ": still running at the time limit\n" << r.error_output;
            continue;
        }
        EXPECT_TRUE(r.notes.empty()) << c.what << ": " << (r.notes.empty() ? "" : r.notes[0]);
        EXPECT_EQ(r.exit_code, c.division_box ? critical_exit_code : 0) << c.what << "\n" << r.error_output;
        const std::vector<recorded_box> boxes = boxes_of(r);
        if (!c.division_box) {
            EXPECT_EQ(r.error_output, "") << c.what;
            continue;
        }
        if (boxes.size() != 1) {
            ADD_FAILURE() << c.what << ": " << boxes.size() << " boxes, not one\n" << r.error_output;
            continue;
        }
        EXPECT_EQ(boxes[0].title, "Critical Error") << c.what;
        EXPECT_EQ(boxes[0].text, "Division by zero") << c.what;
        EXPECT_FALSE(boxes[0].yes_no) << c.what;
        EXPECT_TRUE(boxes[0].system_modal) << c.what;
        EXPECT_EQ(r.error_output.find("note\t"), std::string::npos) << c.what << "\n" << r.error_output;
    }
}

}  // namespace
