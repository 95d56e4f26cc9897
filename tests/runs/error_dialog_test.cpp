// The error dialog in whole runs: an error raised inside one statement, reported
// at that statement's check, and what the run does after the answer.
#include <gtest/gtest.h>

#include "error_run_plan.h"

namespace {

using namespace error_runs;

const std::vector<answer_step> dialogue_to_nothing = {
    {name_prompt, "Bo"}, {command_prompt, ""}, {program_prompt, "none"}};

std::string dialog_text(uint32_t statement, const std::string& description) {
    return "Line: " + std::to_string(statement) + " (in main module)\n" + description + "\nContinue?";
}

// The one box of a run, checked as the Yes/No dialog for the given error.
void expect_one_dialog(const run_result& r, uint32_t number, uint32_t statement, const std::string& description) {
    std::vector<recorded_box> boxes = boxes_of(r);
    ASSERT_EQ(boxes.size(), 1u) << r.error_output;
    EXPECT_TRUE(boxes[0].yes_no);
    EXPECT_TRUE(boxes[0].system_modal);
    EXPECT_EQ(boxes[0].title, "Unhandled Error #" + std::to_string(number) + " - morvane");
    EXPECT_EQ(boxes[0].text, dialog_text(statement, description));
}

error_plan raising_at(uint32_t statement, std::vector<int32_t> numbers, int turn = 1) {
    error_plan plan;
    plan.statement = statement;
    plan.numbers = std::move(numbers);
    plan.turn = turn;
    return plan;
}

// Runs the plan through the steps and the end line, answering the dialog with Yes;
// the run must end with 0 after one dialog for the number at the plan's statement.
run_result run_past_the_dialog(const error_plan& plan, const std::vector<answer_step>& steps, uint32_t number,
                               const std::string& description) {
    run_result r = run_with_plan(plan, steps);
    EXPECT_FALSE(r.timed_out) << r.error_output;
    EXPECT_EQ(r.exit_code, 0) << r.error_output;
    expect_one_dialog(r, number, plan.statement, description);
    return r;
}

TEST(error_dialog, error_at_the_greetings_second_read_leaves_its_row_open) {
    // The second read comes after user_name has been copied.
    run_result r = run_past_the_dialog(raising_at(13, {illegal_function_call}, 2),
                                       {{name_prompt, "Ann"}, {command_prompt, "cd"}, {program_prompt, "none"}},
                                       illegal_function_call, "Illegal function call");
    ASSERT_EQ(r.captures.size(), 4u);
    // The greeting and its blanks stay, the name does not follow, and the next
    // prompt starts where the cursor stood: column 29 of the same row.
    const screen_rows_text& at_command = r.captures[1];
    EXPECT_EQ(at_command[1], padded("Welcome to Morvane          what do you want to do: "));
    EXPECT_EQ(row_text(at_command, 3), "");
    EXPECT_EQ(row_text(r.captures[2], 2), "Welcome to Morvane          what do you want to do: cd");
}

TEST(error_dialog, block_test_with_an_error_pending_runs_its_body) {
    // "none" is not "Calculator": only the pending error makes the test at 36 hold.
    std::vector<answer_step> steps = dialogue_to_nothing;
    steps.insert(steps.end(), {{"give me a number: ", "1"}, {"give me another number: ", "2"},
                               {"do you want to exit Y/N: ", "Y"}});
    run_result r = run_past_the_dialog(raising_at(36, {53}), steps, 53, "File not found");
    ASSERT_FALSE(r.captures.empty());
    const screen_rows_text& last = r.captures.back();
    EXPECT_EQ(row_text(last, 1), "give me a number: 1");
    EXPECT_EQ(row_text(last, 3), " 3");
    EXPECT_EQ(row_text(last, 4), "do you want to exit Y/N: Y");
    EXPECT_EQ(row_text(last, 25), end_line);
}

TEST(error_dialog, end_test_with_an_error_pending_leaves_the_loop) {
    struct end_test_case {
        const char* what;
        uint32_t statement;
        int turn;
        std::vector<answer_step> steps;
        std::vector<std::string> rows;  // rows 1.. of the screen at the end line
    };
    const std::string loop_line = "youareanidiot hahahahahahah!";
    end_test_case cases[] = {
        {"calculator, exit answer N",
         42,
         1,
         {{name_prompt, "Bo"}, {command_prompt, ""}, {program_prompt, "Calculator"}, {"give me a number: ", "1"},
          {"give me another number: ", "2"}, {"do you want to exit Y/N: ", "N"}},
         {"give me a number: 1", "give me another number: 2", " 3", "do you want to exit Y/N: N", ""}},
        {"prank page, third turn",
         70,
         3,
         {{name_prompt, "Bo"}, {command_prompt, ""}, {program_prompt, "ZodeZozo"},
          {"wich Website you want to open: ", "youareanidiot.org"}},
         {"youareanidiot.org", "you are an idiot! hahahahahahahaahahah!", loop_line, loop_line, loop_line, ""}},
    };
    for (const end_test_case& c : cases) {
        SCOPED_TRACE(c.what);
        run_result r = run_past_the_dialog(raising_at(c.statement, {62}, c.turn), c.steps, 62, "Input past end of file");
        ASSERT_FALSE(r.captures.empty());
        // After Yes the tests after the loop follow, do not hold, and the run ends.
        const screen_rows_text& last = r.captures.back();
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(row_text(last, int(i + 1)), c.rows[i]) << "row " << i + 1;
        }
        EXPECT_EQ(row_text(last, 25), end_line);
    }
}

TEST(error_dialog, input_with_an_error_pending_shows_no_prompt_and_keeps_the_variable) {
    // Second turn of the Calculator: 38 is skipped, so the first number stays 5.
    run_result r = run_past_the_dialog(raising_at(38, {57}, 2),
                                       {{name_prompt, "Bo"},
                                        {command_prompt, ""},
                                        {program_prompt, "Calculator"},
                                        {"give me a number: ", "5"},
                                        {"give me another number: ", "6"},
                                        {"do you want to exit Y/N: ", "N"},
                                        {"give me another number: ", "10"},
                                        {"do you want to exit Y/N: ", "Y"}},
                                       57, "Device input/output error");
    ASSERT_FALSE(r.captures.empty());
    const screen_rows_text& last = r.captures.back();
    EXPECT_EQ(row_text(last, 3), " 11");
    EXPECT_EQ(row_text(last, 4), "do you want to exit Y/N: N");
    EXPECT_EQ(row_text(last, 5), "give me another number: 10");
    EXPECT_EQ(row_text(last, 6), " 15");
}

TEST(error_dialog, clear_statement_with_an_error_pending_leaves_the_screen) {
    run_result r = run_past_the_dialog(raising_at(23, {70}),
                                       {{name_prompt, "Bo"},
                                        {command_prompt, "cd"},
                                        {program_prompt, "Calculator"},
                                        {"give me a number: ", "1"},
                                        {"give me another number: ", "1"},
                                        {"do you want to exit Y/N: ", "Y"}},
                                       70, "Permission denied");
    ASSERT_FALSE(r.captures.empty());
    const screen_rows_text& last = r.captures.back();
    EXPECT_EQ(row_text(last, 1), "enter your Name: Bo");
    EXPECT_EQ(row_text(last, 5), "what Program you want to open: Calculator");
    EXPECT_EQ(row_text(last, 6), "give me a number: 1");
}

TEST(error_dialog, only_the_first_error_of_a_statement_is_reported) {
    struct raising_case {
        std::vector<int32_t> raised;
        uint32_t reported;
        std::string description;
    };
    raising_case cases[] = {
        {{53, 62}, 53, "File not found"},
        {{0}, illegal_function_call, "Illegal function call"},
        {{-3}, illegal_function_call, "Illegal function call"},
        {{INT32_MIN, 53}, illegal_function_call, "Illegal function call"},
        {{reported_critical::first - 1}, reported_critical::first - 1, "Unprintable error"},
        {{reported_critical::last + 1}, reported_critical::last + 1, "Unprintable error"},
        {{11000}, 11000, "Unprintable error"},
    };
    for (const raising_case& c : cases) {
        SCOPED_TRACE(c.reported);
        run_past_the_dialog(raising_at(22, c.raised), {{name_prompt, "Bo"}, {command_prompt, ""}}, c.reported,
                            c.description);
    }
}

TEST(error_dialog, answer_no_ends_the_run_without_the_end_line) {
    error_plan plan = raising_at(15, {illegal_function_call});  // before the prompt: it is never shown
    plan.answer = box_answer::no;
    run_result r = run_with_plan(plan, {{name_prompt, "Bo"}}, run_ending::by_itself);
    ASSERT_FALSE(r.timed_out) << r.error_output;
    EXPECT_EQ(r.exit_code, 0) << r.error_output;
    expect_one_dialog(r, illegal_function_call, 15, "Illegal function call");
    for (const screen_rows_text& screen : r.captures) {
        EXPECT_EQ(row_text(screen, 25), "");
        EXPECT_EQ(row_text(screen, 3), "");
    }
    // The greeting was printed before the dialog came up; no prompt followed it.
    const screen_rows_text* at_box = screen_at_the_box(r);
    ASSERT_NE(at_box, nullptr) << "no capture while the dialog was up";
    EXPECT_EQ(row_text(*at_box, 2), "Welcome to Morvane          Bo");
}

TEST(error_dialog, answer_none_goes_on_as_yes) {
    error_plan plan = raising_at(17, {illegal_function_call});
    plan.answer = box_answer::none;
    run_result r = run_past_the_dialog(plan, {{name_prompt, "Bo"}, {command_prompt, "cd"}, {program_prompt, "none"}},
                                       illegal_function_call, "Illegal function call");
    // A box that gave no answer is told on standard error as well, as one line.
    EXPECT_NE(r.error_output.find("morvane: Unhandled Error #5 - morvane: Line: 17 (in main module); "
                                  "Illegal function call; Continue?\n"),
              std::string::npos)
        << r.error_output;
    ASSERT_GE(r.captures.size(), 3u);
    // 17's list was cut before it was printed; the program prompt follows it.
    EXPECT_EQ(row_text(r.captures[2], 4), "what Program you want to open:");
}

TEST(error_dialog, stop_request_with_an_error_pending_shows_no_dialog) {
    error_plan plan = raising_at(13, {illegal_function_call});
    plan.after = error_plan::then::close_window;
    run_result r = run_with_plan(plan, {{name_prompt, "Bo"}}, run_ending::by_itself);
    ASSERT_FALSE(r.timed_out) << r.error_output;
    EXPECT_EQ(r.exit_code, 0) << r.error_output;
    EXPECT_TRUE(boxes_of(r).empty()) << r.error_output;
}

TEST(error_dialog, close_while_the_dialog_is_up_takes_effect_once_it_is_answered) {
    // Explorer's first line raises, and the window is closed while its dialog is
    // up. After Yes the next statement, 31, still prints, and its check parks the
    // shell; after No the run ends at once. No later statement completes, so the
    // end of the run, with its end line, is never reached.
    const struct {
        box_answer answer;
        std::vector<uint32_t> checks;
    } cases[] = {
        {box_answer::yes, {30, 31}},
        {box_answer::no, {30}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer == box_answer::yes ? "Yes" : "No");
        error_plan plan = raising_at(30, {illegal_function_call});
        plan.answer = c.answer;
        plan.close_at_box = true;
        plan.record_checks = true;
        run_result r = run_with_plan(plan, {{name_prompt, "Bo"}, {command_prompt, ""}, {program_prompt, "Explorer"}},
                                     run_ending::by_itself);
        ASSERT_FALSE(r.timed_out) << r.error_output;
        EXPECT_EQ(r.exit_code, 0) << r.error_output;
        expect_one_dialog(r, illegal_function_call, 30, "Illegal function call");
        EXPECT_EQ(checks_of(r), c.checks) << r.error_output;
    }
}

}  // namespace
