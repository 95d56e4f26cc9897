// The shell routine: start-up, the dialogue (1 to 23), the five program tests in
// order, then the end of the run. Statement numbers are fixed: the per-statement
// check and the error dialog show them.
#include "run_shell.h"

#include <csignal>

#include "arithmetic_exception.h"
#include "end_of_run.h"
#include "fpu.h"
#include "shell_variables.h"
#include "statements.h"

namespace {

shell_variables create_variables() {
    shell_variables v;
    v.user_name = new_string(0, false);
    v.command_answer = new_string(0, false);
    v.chosen_program = new_string(0, false);
    v.first_number = static_cast<int16_t*>(alloc_static_value(sizeof(int16_t)));
    v.second_number = static_cast<int16_t*>(alloc_static_value(sizeof(int16_t)));
    v.calculator_exit_answer = new_string(0, false);
    v.chosen_website = new_string(0, false);
    v.website_exit_answer = new_string(0, false);
    v.writer_text = new_string(0, false);
    v.prank_loop_done = static_cast<float*>(alloc_static_value(sizeof(float)));
    *v.first_number = 0;
    *v.second_number = 0;
    *v.prank_loop_done = 0.0f;
    return v;
}

}  // namespace

void run_shell() {
    reset_fpu();
    std::signal(SIGFPE, on_arithmetic_signal);
    set_routine_mark(temp_string_count());
    const shell_variables v = create_variables();

    for (uint32_t n = 1; n <= 11; ++n) empty_statement(n);

    input_statement(12, text("enter your Name: "), v.user_name);
    output_statement(13, item(text("Welcome to Morvane")), item(v.user_name));
    input_statement(15, text("what do you want to do: "), v.command_answer);
    if (block_test(16, v.command_answer, text("cd"))) {
        output_statement(17, item(text("cd: ZavadOzididuva, Explorer, Calculator, ZodeZozo, Writer")));
    }
    input_statement(22, text("what Program you want to open: "), v.chosen_program);
    clear_statement(23);

    run_zavadozididuva(v);  // 24 to 26
    run_explorer(v);        // 29 to 33
    run_calculator(v);      // 36 to 42
    run_zodezozo(v);        // 45 to 70
    run_writer(v);          // 74 and 75

    end_program();
}
