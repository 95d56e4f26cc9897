// Calculator: adds two whole numbers again and again until the answer is "Y".
#include "shell_variables.h"
#include "statements.h"

void run_calculator(const shell_variables& v) {
    if (block_test(36, v.chosen_program, text("Calculator"))) {
        do {
            loop_top(37);
            input_statement(38, text("give me a number: "), v.first_number);
            input_statement(39, text("give me another number: "), v.second_number);
            output_statement(40, sum_item(v.first_number, v.second_number));
            input_statement(41, text("do you want to exit Y/N: "), v.calculator_exit_answer);
        } while (!loop_end_test(42, v.calculator_exit_answer, text("Y")));
    }
}
