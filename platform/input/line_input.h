// The input statement's line input: the list of variables that an input fills,
// and the wait for keys that drives the line editor (line_editor.h) to Enter.
#pragma once
#include <cstdint>

#include "answer_check.h"
#include "input_entry.h"
#include "text_value.h"

inline constexpr int input_list_size = 16;

// The list of variables that the next call of input_variables fills, numbered
// from 1 (entry 0 is unused). THREADING: shell thread only.
input_entry* input_list();

// Edits one answer line at the cursor and stores it in the listed variables
// (the shell lists one). Returns when Enter ends the line, at once while an
// error is pending, and at the first poll that finds a stop requested.
void input_variables(int32_t count, bool end_line);

// One variable: lists the entry as entry 1 and calls input_variables(1, end_line).
void input_variable(const input_entry& entry, bool end_line);
