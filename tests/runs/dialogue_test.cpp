#include <gtest/gtest.h>

#include "headless_run.h"
#include "run_shell.h"

namespace {

const std::string end_line = "Press any key to continue";

// Answers the three dialogue prompts, captures the screen just before the clear
// (by waiting for the third prompt's echo), then lets the run end with a key.
run_result dialogue(const std::string& name, const std::string& command, const std::string& program) {
    return run_headless(run_shell, [&](run_driver& d) {
        d.wait_for_text("enter your Name: ");
        d.type(name + "\r");
        d.wait_for_text("what do you want to do: ");
        d.type(command + "\r");
        d.wait_for_text("what Program you want to open: ");
        d.settle();
        d.capture();
        d.type(program + "\r");
        d.wait_for_text(end_line);
        d.settle();
        d.capture();
        d.type("x");
    });
}

TEST(dialogue, greets_the_name_in_the_third_print_zone) {
    struct { std::string name; std::vector<std::string> rows; } cases[] = {
        {"Ann", {"enter your Name: Ann", "Welcome to Morvane          Ann", "what do you want to do:"}},
        {"", {"enter your Name:", "Welcome to Morvane", "what do you want to do:"}},
        {std::string(52, 'n'),
         {"enter your Name: " + std::string(52, 'n'), "Welcome to Morvane          " + std::string(52, 'n'),
          "what do you want to do:"}},
        {std::string(53, 'n'),
         {"enter your Name: " + std::string(53, 'n'), "Welcome to Morvane", std::string(53, 'n'),
          "what do you want to do:"}},
    };
    for (const auto& c : cases) {
        run_result r = dialogue(c.name, "", "none");
        ASSERT_EQ(r.exit_code, 0) << r.error_output;
        ASSERT_EQ(r.captures.size(), 2u);
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(row_text(r.captures[0], static_cast<int>(i + 1)), c.rows[i]) << c.name.size();
        }
        if (c.name.size() == 53) {
            // The greeting's row ends in blanks from column 19.
            EXPECT_EQ(r.captures[0][1], padded("Welcome to Morvane"));
        }
    }
}

TEST(dialogue, only_cd_lists_the_programs) {
    const std::string list = "cd: ZavadOzididuva, Explorer, Calculator, ZodeZozo, Writer";
    struct { std::string typed; bool lists; } cases[] = {
        {"cd", true}, {"\"cd\"", true}, {"\"cd", true}, {"CD", false}, {"Cd", false},
        {" cd", false}, {"cd ", false}, {"", false},
    };
    for (const auto& c : cases) {
        run_result r = dialogue("Bo", c.typed, "none");
        ASSERT_EQ(r.exit_code, 0) << r.error_output;
        ASSERT_EQ(r.captures.size(), 2u);
        EXPECT_EQ(r.captures[0][2], padded("what do you want to do: " + c.typed));
        if (c.lists) {
            EXPECT_EQ(row_text(r.captures[0], 4), list) << c.typed;
            EXPECT_EQ(row_text(r.captures[0], 5), "what Program you want to open:") << c.typed;
        } else {
            EXPECT_EQ(row_text(r.captures[0], 4), "what Program you want to open:") << c.typed;
        }
    }
}

TEST(dialogue, unknown_program_clears_the_screen_and_ends_on_row_25) {
    for (std::string program : {"calculator", "Calculator ", "cd", "", "zodezozo", "Calc"}) {
        run_result r = dialogue("Bo", "cd", program);
        ASSERT_EQ(r.exit_code, 0) << r.error_output;
        ASSERT_EQ(r.captures.size(), 2u);
        for (int row = 1; row <= 24; ++row) EXPECT_EQ(row_text(r.captures[1], row), "") << program;
        EXPECT_EQ(r.captures[1][24], padded(end_line)) << program;
    }
}

TEST(dialogue, type_ahead_answers_the_next_prompts_in_order) {
    run_result r = run_headless(run_shell, [](run_driver& d) {
        d.type("Eve\rcd\r");  // before the second prompt is shown
        d.wait_for_text("what Program you want to open: ");
        d.settle();
        d.capture();
        d.type("none\r");
        d.wait_for_text(end_line);
        d.type("x");
    });
    ASSERT_EQ(r.exit_code, 0) << r.error_output;
    ASSERT_EQ(r.captures.size(), 1u);
    EXPECT_EQ(row_text(r.captures[0], 2), "Welcome to Morvane          Eve");
    EXPECT_EQ(row_text(r.captures[0], 4), "cd: ZavadOzididuva, Explorer, Calculator, ZodeZozo, Writer");
}

}  // namespace
