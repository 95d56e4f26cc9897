// A program for the window tests: the real console runtime in the real window,
// with a routine that prints known text through the shell's output statement.
//
// usage: window_fixture still     the screen of still_screen_lines(), then waits;
//                                 after a stop request it stays 1 s before it
//                                 parks, so the window must outlive the request
//        window_fixture counting  prints a rising count without end, straight
//                                 through print_text and without statement
//                                 checks, so a pause does not stop the screen
//        window_fixture typing    asks "type: " with an input statement, prints
//                                 the answer on the next row, then waits as
//                                 "still" does
#include <chrono>
#include <string>
#include <thread>

#include "console_runtime.h"
#include "end_of_run.h"
#include "fixture_screen.h"
#include "glut_window.h"
#include "run_flags.h"
#include "statements.h"
#include "text_screen.h"
#include "text_value.h"

namespace {

using namespace std::chrono_literals;

// Waits for the stop request, then stays 1 s before parking.
[[noreturn]] void linger_until_stopped() {
    while (!stop_is_requested())
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(1s);
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
    for (uint64_t count = 1;; ++count) {
        if (stop_is_requested())
            halt_program_thread();
        const std::string line = "count " + std::to_string(count);
        const uint32_t mark = temp_string_count();
        print_text(*temp_string_literal(line.data(), uint32_t(line.size())), true);
        release_temp_strings(mark, 0);
        std::this_thread::sleep_for(5ms);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "still";
    shell_routine routine = print_still_screen;
    if (mode == "counting")
        routine = print_counting;
    else if (mode == "typing")
        routine = ask_and_print;
    glut_window window;
    run_console(argc, argv, routine, window);
}
