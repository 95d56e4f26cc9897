// ZavadOzididuva: reports a finished scan that found no viruses.
#include "shell_variables.h"
#include "statements.h"

void run_zavadozididuva(const shell_variables& v) {
    if (block_test(24, v.chosen_program, text("ZavadOzididuva"))) {
        output_statement(25, item(text("scan is finished...")));
        output_statement(26, item(text("your device have no Viruses")));
    }
}
