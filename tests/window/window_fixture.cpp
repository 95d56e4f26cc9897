// A program for the window tests: the real console runtime in the real window,
// with a routine that prints known text through the shell's output statement.
//
// usage: window_fixture still     the screen of still_screen_lines(), then waits
//                                 for the stop request and parks
//        window_fixture held      as still, but at the stop request it says
//                                 "window_fixture: stop requested" on standard
//                                 error and parks only when SIGUSR1 comes, so the
//                                 window must outlive the request for as long as
//                                 a test looks at it
//        window_fixture counting  prints a rising count without end, straight
//                                 through print_text and without statement
//                                 checks, so a pause does not stop the screen;
//                                 on standard error it says "window_fixture:
//                                 paused" and "window_fixture: running" as the
//                                 run's pause begins and ends, and
//                                 "window_fixture: printed while paused" after
//                                 every 20 counts printed while paused
//        window_fixture typing    asks "type: " with an input statement, prints
//                                 the answer on the next row, then waits as
//                                 "still" does
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include "console_runtime.h"
#include "fixture_screen.h"
#include "glut_window.h"
#include "park_and_exit.h"
#include "run_flags.h"
#include "statements.h"
#include "text_screen.h"
#include "text_value.h"

namespace {

using namespace std::chrono_literals;

// Set by SIGUSR1: the held fixture may park. THREADING: stored by the signal
// handler on whichever thread takes the signal, read by the shell's thread.
std::atomic<bool> let_go{false};
bool held = false;  // set before the runtime starts

void on_let_go(int) { let_go.store(true, std::memory_order_release); }

// One line on standard error, in one write: the parent test reads it back.
void tell(const char* line) {
    const std::string text = std::string("window_fixture: ") + line + "\n";
    (void)::write(STDERR_FILENO, text.data(), text.size());
}

// Waits for the stop request and parks; held, only once SIGUSR1 has come.
[[noreturn]] void linger_until_stopped() {
    while (!stop_is_requested())
        std::this_thread::sleep_for(10ms);
    if (held) {
        tell("stop requested");
        while (!let_go.load(std::memory_order_acquire))
            std::this_thread::sleep_for(10ms);
    }
    halt_program_thread();
}

void print_still_screen() {
    set_routine_mark(temp_string_count());
    uint32_t statement = 1;
    for (const std::string& line : still_screen_lines())
        output_statement(statement++, item(literal{line.data(), uint32_t(line.size())}));
    linger_until_stopped();
}

void ask_and_print() {
    set_routine_mark(temp_string_count());
    text_value* answer = new_string(0, false);
    input_statement(1, text("type: "), answer);
    output_statement(2, item(answer));
    linger_until_stopped();
}

void print_counting() {
    bool paused = false;
    int printed_while_paused = 0;
    for (uint64_t count = 1;; ++count) {
        if (stop_is_requested())
            halt_program_thread();
        if ((flags().program_paused.load(std::memory_order_acquire) != 0) != paused) {
            paused = !paused;
            printed_while_paused = 0;
            tell(paused ? "paused" : "running");
        }
        const std::string line = "count " + std::to_string(count);
        const uint32_t mark = temp_string_count();
        print_text(*temp_string_literal(line.data(), uint32_t(line.size())), true);
        release_temp_strings(mark, 0);
        if (paused && ++printed_while_paused % 20 == 0)
            tell("printed while paused");
        std::this_thread::sleep_for(5ms);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "still";
    shell_routine routine = print_still_screen;
    if (mode == "held") {
        held = true;
        std::signal(SIGUSR1, on_let_go);
    } else if (mode == "counting")
        routine = print_counting;
    else if (mode == "typing")
        routine = ask_and_print;
    glut_window window;
    run_console(argc, argv, routine, window);
}
