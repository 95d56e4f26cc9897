// Writer: takes one line of text.
#include "shell_variables.h"
#include "statements.h"

void run_writer(const shell_variables& v) {
    if (block_test(74, v.chosen_program, text("Writer"))) {
        input_statement(75, text("Write: "), v.writer_text);
    }
}
