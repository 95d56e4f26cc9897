// ZodeZozo: a line-mode web browser with four built-in pages.
#include <initializer_list>

#include "shell_variables.h"
#include "statements.h"

namespace {

constexpr literal empty_page_address = text("about:blank");
constexpr literal first_site_name = text("cern.ch");
constexpr literal official_site_name = text("home.morvane.org");
constexpr literal hidden_site_name = text("morvane.net");
constexpr literal prank_site_name = text("youareanidiot.org");

static_assert(empty_page_address.length == 11);
static_assert(first_site_name.length == 7);
static_assert(official_site_name.length == 16);
static_assert(hidden_site_name.length == 11);
static_assert(prank_site_name.length == 17);

// The warning against the prank site, with the o-umlaut as the one byte 0xF6.
struct warning_message {
    static constexpr literal before_umlaut = text("Das ist die geheime Website von Morvane mit dieser Website m");
    static constexpr literal after_umlaut = text("chte ich vor der Website ");
    static constexpr literal after_site = text(" warnen die website hat sich ins system gehackt");
    static constexpr uint32_t length =
        before_umlaut.length + 1 + after_umlaut.length + prank_site_name.length + after_site.length;
    static_assert(length == 150);

    char bytes[length];
    constexpr warning_message() : bytes{} {
        uint32_t at = 0;
        for (literal piece : {before_umlaut, literal{"\xF6", 1}, after_umlaut, prank_site_name, after_site}) {
            for (uint32_t i = 0; i < piece.length; ++i) bytes[at++] = piece.bytes[i];
        }
    }
};
constexpr warning_message warning;

// The prank site's name up to its first dot, then the laugh.
struct loop_line_text {
    static constexpr uint32_t name_part = 13;
    static constexpr literal laugh = text(" hahahahahahah!");
    static constexpr uint32_t length = name_part + laugh.length;
    static_assert(length == 28);

    char bytes[length];
    constexpr loop_line_text() : bytes{} {
        uint32_t at = 0;
        while (prank_site_name.bytes[at] != '.') {
            bytes[at] = prank_site_name.bytes[at];
            ++at;
        }
        for (uint32_t i = 0; i < laugh.length; ++i) bytes[at++] = laugh.bytes[i];
    }
};
constexpr loop_line_text loop_line;

// The four pages, each the body of its block test in run_zodezozo.

// The research organisation's page.
void first_website_page() {
    output_statement(50, item(first_site_name));
    output_statement(51, item(text("Welcome to Cern the first Website")));
}

// The maker's own page; the answer to its question changes nothing.
void official_website_page(const shell_variables& v) {
    output_statement(55, item(official_site_name));
    output_statement(56, item(text("Welcome in the official Website from Morvane")));
    input_statement(57, text("do you want to exit"), v.website_exit_answer);
}

// The warning against the prank site, which wraps onto a second row.
void hidden_website_page() {
    output_statement(61, item(hidden_site_name));
    output_statement(62, item(literal{warning.bytes, warning.length}));
}

// Prints the loop line until the run is stopped from outside: nothing writes
// prank_loop_done, so it stays 0 and the end test never leaves the loop.
void prank_website_page(const shell_variables& v) {
    output_statement(66, item(prank_site_name));
    output_statement(67, item(text("you are an idiot! hahahahahahahaahahah!")));
    do {
        loop_top(68);
        output_statement(69, item(literal{loop_line.bytes, loop_line.length}));
    } while (!loop_end_test(70, *v.prank_loop_done != 0.0f));
}

}  // namespace

void run_zodezozo(const shell_variables& v) {
    if (block_test(45, v.chosen_program, text("ZodeZozo"))) {
        output_statement(46, item(empty_page_address));
        input_statement(47, text("wich Website you want to open: "), v.chosen_website);
        clear_statement(48);
        if (block_test(49, v.chosen_website, first_site_name)) first_website_page();         // 50, 51
        if (block_test(54, v.chosen_website, official_site_name)) official_website_page(v);  // 55 to 57
        if (block_test(60, v.chosen_website, hidden_site_name)) hidden_website_page();       // 61, 62
        if (block_test(65, v.chosen_website, prank_site_name)) prank_website_page(v);        // 66 to 70
    }
}
