// The shell's ten variables: created once before statement 1, alive for the run.
#pragma once
#include <cstdint>

#include "text_value.h"

struct shell_variables {
    text_value* user_name;               // written by 12, read by 13
    text_value* command_answer;          // written by 15, read by 16
    text_value* chosen_program;          // written by 22, read by 24, 29, 36, 45, 74
    int16_t* first_number;               // written by 38, read by 40
    int16_t* second_number;              // written by 39, read by 40
    text_value* calculator_exit_answer;  // written by 41, read by 42
    text_value* chosen_website;          // written by 47, read by 49, 54, 60, 65
    text_value* website_exit_answer;     // written by 57, read by nothing
    text_value* writer_text;             // written by 75, read by nothing
    float* prank_loop_done;              // never written, read by 70
};

// The five program blocks, each at its place in run_shell.
void run_zavadozididuva(const shell_variables& v);
void run_explorer(const shell_variables& v);
void run_calculator(const shell_variables& v);
void run_zodezozo(const shell_variables& v);
void run_writer(const shell_variables& v);
