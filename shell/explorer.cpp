// Explorer: lists three folders, Pictures empty.
#include "shell_variables.h"
#include "statements.h"

void run_explorer(const shell_variables& v) {
    if (block_test(29, v.chosen_program, text("Explorer"))) {
        output_statement(30, item(text("Welcome to the Explorer")));
        output_statement(31, item(text("Documents: Welcome to Morvane.lo")));
        output_statement(32, item(text("Music: Welcome Music.jo")));
        output_statement(33, item(text("Pictures: ")));
    }
}
