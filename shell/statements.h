// The statement kinds of the shell routine, each ending in its statement frame.
#pragma once
#include <cstdint>

#include "text_value.h"

// A literal: constant bytes and their exact length.
struct literal {
    const char* bytes;
    uint32_t length;
};

// A literal from a string constant, its length counted without the closing zero.
template <uint32_t N>
constexpr literal text(const char (&bytes)[N]) {
    return literal{bytes, N - 1};
}

// Test seam: when set, called with the statement's number at the place in each
// statement kind where the statement next looks at a pending error (after an
// output item's copy, before an input's prompt is printed, after a block test's
// comparison, before an end test's result is used, before a clear), so that a test
// can raise an error there. Nothing in the program sets it.
extern void (*error_point_hook)(uint32_t statement_number);

// The routine's mark: the count of temporaries when it started.
void set_routine_mark(uint32_t mark);
uint32_t routine_mark();

// An item of an output statement.
struct output_item {
    enum class kind { literal_bytes, variable, sum_of_numbers } what;
    literal bytes{nullptr, 0};
    const text_value* variable = nullptr;
    const int16_t* first = nullptr;   // the two whole numbers of a sum
    const int16_t* second = nullptr;
};

inline output_item item(literal bytes) { return {output_item::kind::literal_bytes, bytes}; }
inline output_item item(const text_value* variable) {
    return {output_item::kind::variable, {nullptr, 0}, variable};
}
inline output_item sum_item(const int16_t* first, const int16_t* second) {
    return {output_item::kind::sum_of_numbers, {nullptr, 0}, nullptr, first, second};
}

// Output statement N of one item, ended by its line end.
void output_statement(uint32_t n, const output_item& only);
// Output statement N of two items with a comma separator between them.
void output_statement(uint32_t n, const output_item& first, const output_item& after_comma);

// Input statement N: the prompt, then one line into a text value or a whole number.
void input_statement(uint32_t n, literal prompt, text_value* variable);
void input_statement(uint32_t n, literal prompt, int16_t* variable);

// Clear statement N.
void clear_statement(uint32_t n);

// Simple statement N that does nothing but its frame.
void empty_statement(uint32_t n);

// Block test N: holds when the variable equals the literal or an error is pending;
// only a test that holds makes its check.
bool block_test(uint32_t n, const text_value* variable, literal compared);

// Top N of an end-tested loop: its check at every turn.
void loop_top(uint32_t n);

// End test M: true when the loop is left (the condition holds or an error is
// pending), after M's check; false, with no check, when the next turn begins.
bool loop_end_test(uint32_t m, bool condition);
bool loop_end_test(uint32_t m, const text_value* variable, literal compared);
