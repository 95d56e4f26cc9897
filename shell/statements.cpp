#include "statements.h"

#include "line_input.h"
#include "park_and_exit.h"
#include "run_flags.h"
#include "statement_check.h"
#include "text_screen.h"

void (*error_point_hook)(uint32_t) = nullptr;

namespace {

uint32_t the_routine_mark = 0;

void error_point(uint32_t n) {
    if (error_point_hook != nullptr) error_point_hook(n);
}

// The item's text, copied into the statement's work text.
void copy_item(text_value* work_text, const output_item& it) {
    switch (it.what) {
        case output_item::kind::literal_bytes:
            assign_string(work_text, temp_string_literal(it.bytes.bytes, it.bytes.length));
            break;
        case output_item::kind::variable:
            assign_string(work_text, const_cast<text_value*>(it.variable));
            break;
        case output_item::kind::sum_of_numbers: {
            text_value* blank = temp_string_cstr(" ");
            int32_t sum = int32_t{*it.first} + int32_t{*it.second};
            assign_string(work_text, concat_strings(integer_to_text(int64_t{sum}), blank));
            break;
        }
    }
}

// Copies and prints one item; false when a pending error cuts the statement short.
bool print_item(uint32_t n, text_value* work_text, const output_item& it) {
    copy_item(work_text, it);
    error_point(n);
    if (error_is_pending()) return false;
    fit_on_line(*work_text);
    print_text(*work_text, false);
    return true;
}

void end_output_statement(uint32_t n, text_value* work_text, bool printed_all) {
    if (printed_all) print_text(empty_text(), true);
    free_string(work_text);
    release_temp_strings(the_routine_mark, 0);
    finish_statement(n);
}

void input_into(uint32_t n, literal prompt, uint32_t type_code, void* variable) {
    text_value* prompt_text = temp_string_literal(prompt.bytes, prompt.length);
    error_point(n);
    print_text(*prompt_text, false);
    input_variable(input_entry{type_code, variable}, true);
    if (stop_is_requested()) halt_program_thread();
    release_temp_strings(the_routine_mark, 0);
    finish_statement(n);
}

bool compare(const text_value* variable, literal compared) {
    int32_t equal = strings_equal(variable, temp_string_literal(compared.bytes, compared.length));
    return release_temp_strings(the_routine_mark, equal) != 0;
}

}  // namespace

void set_routine_mark(uint32_t mark) { the_routine_mark = mark; }
uint32_t routine_mark() { return the_routine_mark; }

void output_statement(uint32_t n, const output_item& only) {
    text_value* work_text = new_string(0, false);
    bool printed_all = print_item(n, work_text, only);
    end_output_statement(n, work_text, printed_all);
}

void output_statement(uint32_t n, const output_item& first, const output_item& after_comma) {
    text_value* work_text = new_string(0, false);
    bool printed_all = print_item(n, work_text, first);
    if (printed_all) {
        next_print_zone();
        printed_all = print_item(n, work_text, after_comma);
    }
    end_output_statement(n, work_text, printed_all);
}

void input_statement(uint32_t n, literal prompt, text_value* variable) {
    input_into(n, prompt, text_type_code, variable);
}

void input_statement(uint32_t n, literal prompt, int16_t* variable) {
    input_into(n, prompt, whole_number_type_code, variable);
}

void clear_statement(uint32_t n) {
    error_point(n);
    clear_screen(0, 0, 0);
    finish_statement(n);
}

void empty_statement(uint32_t n) { finish_statement(n); }

bool block_test(uint32_t n, const text_value* variable, literal compared) {
    bool equal = compare(variable, compared);
    error_point(n);
    bool holds = equal || error_is_pending();
    if (holds) finish_statement(n);
    return holds;
}

void loop_top(uint32_t n) { finish_statement(n); }

bool loop_end_test(uint32_t m, bool condition) {
    error_point(m);
    if (!condition && !error_is_pending()) return false;
    finish_statement(m);
    return true;
}

bool loop_end_test(uint32_t m, const text_value* variable, literal compared) {
    return loop_end_test(m, compare(variable, compared));
}
