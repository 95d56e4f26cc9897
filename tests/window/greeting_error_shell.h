// The shell in the real window with an error raised inside its greeting: what a
// window test program runs, instead of its tests, when started with
// --shell-with-greeting-error, so that the test can meet the error dialog.
#pragma once
#include <cstdint>

#include "console_runtime.h"
#include "error_numbers.h"
#include "error_report.h"
#include "glut_window.h"
#include "run_shell.h"
#include "statements.h"

inline constexpr char greeting_error_argument[] = "--shell-with-greeting-error";

// Error 5 at the greeting's second read, after the name has been copied.
[[noreturn]] inline void run_shell_with_greeting_error(int argc, char** argv) {
    error_point_hook = [](uint32_t statement_number) {
        static int greeting_reads = 0;
        if (statement_number == 13 && ++greeting_reads == 2) raise_error(illegal_function_call);
    };
    glut_window window;
    run_console(argc, argv, run_shell, window);
}
