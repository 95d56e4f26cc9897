// Error reports without a run: the description table, the immediate critical
// errors, the dialog's texts and what happens to a box that cannot be shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "box_key_hold.h"
#include "error_dialog.h"
#include "error_report.h"
#include "message_box.h"
#include "run_flags.h"

namespace {

struct shown_box {
    box_buttons buttons;
    bool system_modal;
    std::string title;
    std::string text;
};

std::vector<shown_box> shown_boxes;
box_answer recorder_answer = box_answer::yes;

box_answer record_box(const message_box& box) {
    shown_boxes.push_back({box.buttons, box.system_modal, box.title, box.text});
    return recorder_answer;
}

// For death tests: the box as one line on standard error.
box_answer print_box(const message_box& box) {
    std::fprintf(stderr, "buttons=%s modal=%d title=%s text=%s\n", box.buttons == box_buttons::ok ? "ok" : "yes_no",
                 box.system_modal ? 1 : 0, box.title, box.text);
    return box_answer::ok;
}

// A dialog in this process, with the recorder in place of the box; leaves the
// runtime's flags and program path as a run starts with them.
class dialog_texts : public testing::Test {
protected:
    void SetUp() override {
        shown_boxes.clear();
        recorder_answer = box_answer::yes;
        set_message_box_shower(record_box);
        set_program_path("morvane");
    }
    void TearDown() override {
        set_message_box_shower(nullptr);
        set_program_path("");
        flags().error_pending.store(0);
        flags().event_pending.store(0);
    }

    // Raises n, then reports it at the position; the one box it showed.
    std::optional<shown_box> report(int32_t n, uint32_t statement, uint32_t included_line = 0,
                                    const char* included_file = nullptr) {
        raise_error(n);
        report_unhandled_error(statement, included_line, included_file);
        if (shown_boxes.size() != 1) return std::nullopt;
        return shown_boxes[0];
    }
};

// 71 numbers up to 1000 have a description, each a text of its own; no larger
// number has one.
TEST(error_description, seventy_one_numbers_are_described_each_with_a_text_of_its_own) {
    int described = 0;
    std::set<std::string> texts;
    for (uint32_t n = 0; n <= 1000; ++n) {
        const std::string text = error_description(n);
        EXPECT_FALSE(text.empty()) << n;
        if (text == "Unprintable error") continue;
        ++described;
        texts.insert(text);
    }
    EXPECT_EQ(described, 71);
    EXPECT_EQ(texts.size(), 71u) << "each described number has a text of its own";
    for (uint32_t n : {1001u, 32767u, 32768u, 65535u, 65536u, uint32_t(INT32_MAX), UINT32_MAX}) {
        EXPECT_STREQ(error_description(n), "Unprintable error") << n;
    }
}

// The described numbers stand in runs. The first and the last number of each run
// read their descriptions, every number between them has one, and the numbers
// just outside the run read "Unprintable error": a run cut short, grown or moved,
// a number missing from it or a description put on the wrong number shows here.
// With the count above, no number outside the runs has a description.
TEST(error_description, each_run_of_described_numbers_begins_and_ends_in_its_place) {
    const struct {
        uint32_t first;
        const char* first_description;
        uint32_t last;
        const char* last_description;
    } runs[] = {
        {0, "No error", 10, "Array already dimensioned"},
        {12, "Not allowed in direct mode", 14, "Out of string space"},
        {16, "String expression too complex", 20, "RESUME without an error"},
        {24, "Device timed out", 27, "Printer out of paper"},
        {29, "WHILE without a matching WEND", 30, "WEND without a matching WHILE"},
        {33, "Label defined twice", 33, "Label defined twice"},
        {35, "Procedure not defined", 35, "Procedure not defined"},
        {37, "Wrong number of arguments", 38, "Array not defined"},
        {40, "Variable required", 40, "Variable required"},
        {50, "Record buffer overflow", 59, "Bad record length"},
        {61, "Disk full", 64, "Bad file name"},
        {67, "Too many open files", 76, "Path not found"},
        {258, "Invalid handle", 258, "Invalid handle"},
        {300, "Memory block out of range", 315, "Assertion failed (details on standard error)"},
    };
    uint32_t in_runs = 0;
    for (const auto& run : runs) {
        SCOPED_TRACE("the run " + std::to_string(run.first) + " to " + std::to_string(run.last));
        EXPECT_STREQ(error_description(run.first), run.first_description);
        EXPECT_STREQ(error_description(run.last), run.last_description);
        for (uint32_t n = run.first; n <= run.last; ++n) EXPECT_STRNE(error_description(n), "Unprintable error") << n;
        if (run.first > 0) {
            EXPECT_STREQ(error_description(run.first - 1), "Unprintable error");
        }
        EXPECT_STREQ(error_description(run.last + 1), "Unprintable error");
        in_runs += run.last - run.first + 1;
    }
    EXPECT_EQ(in_runs, 71u);
    // 5 stands in for every number of zero or less; 11, "Division by zero", has
    // a critical box of its own.
    EXPECT_STREQ(error_description(5), "Illegal function call");
    EXPECT_STREQ(error_description(11), "Unprintable error");
}

TEST(raise_error, immediate_critical_numbers_show_their_box_and_end_with_1) {
    struct critical_case {
        int32_t number;
        const char* title;
        const char* text;
    };
    const critical_case cases[] = {
        {11, "Critical Error", "Division by zero"}, {257, "Critical Error #1", "Out of memory"},
        {502, "Critical Error #2", "Out of memory"},  {504, "Critical Error #4", "Out of memory"},
        {518, "Critical Error #18", "Out of memory"},
    };
    for (const critical_case& c : cases) {
        const std::string shown = std::string("buttons=ok modal=1 title=") + c.title + " text=" + c.text + "\n";
        for (int32_t pending : {0, 53}) {
            // An error already pending does not hold a critical one back.
            EXPECT_EXIT(
                {
                    set_message_box_shower(print_box);
                    if (pending != 0) raise_error(pending);
                    raise_error(c.number);
                },
                testing::ExitedWithCode(1), "^" + shown + "$")
                << c.number << " with " << pending << " pending";
        }
    }
}

TEST(raise_error, neighbours_of_the_critical_numbers_become_pending) {
    set_message_box_shower(record_box);
    shown_boxes.clear();
    for (int32_t n : {10, 12, 256, 258, 501, 519}) {
        raise_error(n);
        EXPECT_EQ(flags().error_pending.load(), uint32_t(n));
        EXPECT_EQ(flags().event_pending.load(), 1u);
        flags().error_pending.store(0);
        flags().event_pending.store(0);
    }
    set_message_box_shower(nullptr);
    EXPECT_TRUE(shown_boxes.empty());
}

TEST_F(dialog_texts, title_shows_the_program_file_name_after_the_last_separator) {
    struct path_case {
        const char* path;
        const char* name;
    };
    const path_case cases[] = {
        {"morvane", "morvane"},
        {"./morvane", "morvane"},
        {"/usr/local/bin/morvane", "morvane"},
        {"C:\\Games\\MORVANE.EXE", "MORVANE.EXE"},
        {"C:\\Games/bin\\morvane.exe", "morvane.exe"},
        {"/home/bo\\dir/morvane", "morvane"},
        {"build\\", ""},
        {"", ""},
    };
    for (const path_case& c : cases) {
        shown_boxes.clear();
        set_program_path(c.path);
        std::optional<shown_box> box = report(5, 13);
        ASSERT_TRUE(box) << c.path;
        EXPECT_EQ(box->title, std::string("Unhandled Error #5 - ") + c.name) << c.path;
    }
}

TEST_F(dialog_texts, yes_clears_the_error_and_shows_the_statement) {
    std::optional<shown_box> box = report(5, 13);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->buttons, box_buttons::yes_no);
    EXPECT_TRUE(box->system_modal);
    EXPECT_EQ(box->title, "Unhandled Error #5 - morvane");
    EXPECT_EQ(box->text, "Line: 13 (in main module)\nIllegal function call\nContinue?");
    EXPECT_EQ(flags().error_pending.load(), 0u);
}

TEST_F(dialog_texts, included_file_line_replaces_the_statement_number) {
    std::optional<shown_box> box = report(53, 40, 7, "common.bi");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Line: 7 (in common.bi)\nFile not found\nContinue?");
    shown_boxes.clear();
    // A name without a line number is not shown.
    box = report(53, 40, 0, "common.bi");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Line: 40 (in main module)\nFile not found\nContinue?");
}

TEST_F(dialog_texts, box_without_an_answer_goes_on_and_tells_standard_error) {
    recorder_answer = box_answer::none;
    testing::internal::CaptureStderr();
    std::optional<shown_box> box = report(62, 22);
    const std::string told = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(box);
    EXPECT_EQ(flags().error_pending.load(), 0u);
    // One whole line: the box's lines joined.
    EXPECT_EQ(told, "morvane: Unhandled Error #62 - morvane: Line: 22 (in main module); Input past end of file; "
                    "Continue?\n");
}

TEST(dialog_texts_death, dialog_texts_without_storage_end_with_1_and_no_box) {
    for (int32_t n : {5, 300}) {
        EXPECT_EXIT(
            {
                set_message_box_shower(print_box);
                dialog_text_storage = [](size_t) -> void* { return nullptr; };
                raise_error(n);
                report_unhandled_error(13);
            },
            testing::ExitedWithCode(1), "^$")
            << n;
    }
}

// The real dialog program with no display to open (or not installed at all).
box_answer show_without_a_display(const message_box& box, std::string& told) {
    const char* display = std::getenv("DISPLAY");
    const std::optional<std::string> saved = display ? std::optional<std::string>(display) : std::nullopt;
    setenv("DISPLAY", "", 1);
    testing::internal::CaptureStderr();
    const box_answer answer = show_message_box(box);
    told = testing::internal::GetCapturedStderr();
    release_window_keys();
    if (saved) setenv("DISPLAY", saved->c_str(), 1);
    else unsetenv("DISPLAY");
    return answer;
}

TEST(message_box, box_that_cannot_be_shown_gives_no_answer_and_leaves_one_line_on_standard_error) {
    std::string told;
    EXPECT_EQ(show_without_a_display(message_box{"Critical Error", "Division by zero", box_buttons::ok, true}, told),
              box_answer::none);
    // xmessage itself may complain first; the box's own line ends the output.
    const std::string line = "morvane: Critical Error: Division by zero\n";
    ASSERT_GE(told.size(), line.size()) << told;
    EXPECT_EQ(told.substr(told.size() - line.size()), line) << told;
    EXPECT_TRUE(told.size() == line.size() || told[told.size() - line.size() - 1] == '\n') << told;
}

TEST(message_box, text_longer_than_the_line_storage_still_leaves_one_whole_line) {
    std::string text;
    for (int n = 0; n < 300; ++n) text += "row " + std::to_string(n) + "\n";
    text += "last";
    std::string told;
    show_without_a_display(message_box{"Unhandled Error #5 - morvane", text.c_str(), box_buttons::yes_no, true}, told);
    std::string joined;
    for (char c : text) {
        if (c == '\n') joined += "; ";
        else joined += c;
    }
    const std::string line = "morvane: Unhandled Error #5 - morvane: " + joined + "\n";
    ASSERT_GT(line.size(), 2000u);  // more than the storage holds
    ASSERT_GE(told.size(), line.size()) << told;
    EXPECT_EQ(told.substr(told.size() - line.size()), line);
}

}  // namespace
