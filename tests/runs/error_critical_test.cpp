// Critical errors in whole runs: each ends the process through its OK box with
// exit code 1, whatever else is pending; no exception leaves the shell's thread.
#include <gtest/gtest.h>

#include "error_run_plan.h"

namespace {

using namespace error_runs;

void expect_one_ok_box(const run_result& r, const std::string& title, const std::string& text, bool system_modal,
                       const std::string& what) {
    std::vector<recorded_box> boxes = boxes_of(r);
    ASSERT_EQ(boxes.size(), 1u) << what << r.error_output;
    EXPECT_FALSE(boxes[0].yes_no) << what;
    EXPECT_EQ(boxes[0].system_modal, system_modal) << what;
    EXPECT_EQ(boxes[0].title, title) << what;
    EXPECT_EQ(boxes[0].text, text) << what;
}

TEST(critical_error, reported_critical_error_offers_ok_only_and_ends_with_1) {
    struct critical_case {
        int32_t number;
        std::string description;
    };
    critical_case cases[] = {{reported_critical::first, "Memory block out of range"},
                             {reported_critical::first + 7, "Memory block freed twice"},
                             {reported_critical::last, "Assertion failed (details on standard error)"}};
    for (const critical_case& c : cases) {
        error_plan plan;
        plan.statement = 15;
        plan.numbers = {c.number};
        run_result r = run_with_plan(plan, {{name_prompt, "Bo"}}, run_ending::by_itself);
        const std::string what = std::to_string(c.number);
        ASSERT_FALSE(r.timed_out) << what << r.error_output;
        EXPECT_EQ(r.exit_code, 1) << what << r.error_output;
        expect_one_ok_box(r, "Critical Error #" + what + " - morvane",
                          "Line: 15 (in main module)\n" + c.description, false, what);
    }
}

TEST(critical_error, arithmetic_exception_shows_division_by_zero_even_with_an_error_pending) {
    for (bool error_pending : {false, true}) {
        error_plan plan;
        plan.statement = 13;
        if (error_pending) plan.numbers = {53};
        plan.after = error_plan::then::arithmetic_signal;
        run_result r = run_with_plan(plan, {{name_prompt, "Bo"}}, run_ending::by_itself);
        const std::string what = error_pending ? "with 53 pending" : "alone";
        ASSERT_FALSE(r.timed_out) << what << r.error_output;
        EXPECT_EQ(r.exit_code, 1) << what << r.error_output;
        expect_one_ok_box(r, "Critical Error", "Division by zero", true, what);
        // The handler only hands the exception over and parks its thread; the box
        // comes from another thread.
        EXPECT_NE(r.error_output.find("shown by\tanother thread\n"), std::string::npos) << what << r.error_output;
        EXPECT_EQ(r.error_output.find("returned from"), std::string::npos) << what << r.error_output;
    }
}

// Each kind's forced failure is the system's own answer of no memory, met inside
// the allocation: the box shows what a real failure there shows.
TEST(critical_error, out_of_memory_at_each_allocation_point_ends_with_its_number) {
    struct memory_case {
        storage_kind kind;
        const char* where;
        std::string title;
        std::string typed;  // what reaches the failing allocation
    };
    memory_case cases[] = {
        {storage_kind::static_values, "start-up storage of the numbers", "Critical Error #4", ""},
        {storage_kind::text_register, "start-up text variables", "Critical Error #10", ""},
        {storage_kind::temporary_list, "the first prompt's temporary", "Critical Error #11", ""},
        {storage_kind::released_list, "the first key poll's release", "Critical Error #8", ""},
        {storage_kind::first_screen_copy, "the first input's saved screen", "Critical Error #16", ""},
        {storage_kind::second_screen_copy, "the first input's scratch screen", "Critical Error #17", ""},
        {storage_kind::text_storage, "the name's first typed byte", "Critical Error #12", "A"},
        {storage_kind::text_store_setup, "the text store's first creation", "Critical Error #9", ""},
        {storage_kind::answer_line, "the answer line's first byte", "Critical Error #18", "A"},
    };
    for (const memory_case& c : cases) {
        error_plan plan;
        plan.fault = c.kind;
        std::vector<answer_step> steps;
        if (!c.typed.empty()) steps.push_back({name_prompt, c.typed});
        run_result r = run_with_plan(plan, steps, run_ending::by_itself);
        // A kind that fails here does not hide the kinds after it.
        EXPECT_FALSE(r.timed_out) << c.where << r.error_output;
        if (r.timed_out) continue;
        EXPECT_EQ(r.exit_code, 1) << c.where << r.error_output;
        expect_one_ok_box(r, c.title, "Out of memory", true, c.where);
    }
}

}  // namespace
