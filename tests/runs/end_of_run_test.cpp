#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "headless_run.h"
#include "key_buffer.h"
#include "poll_until.h"
#include "run_flags.h"
#include "run_shell.h"
#include "statement_check.h"

namespace {

const std::string end_line = "Press any key to continue";
constexpr key_modifiers ctrl{false, true, false};
constexpr key_modifiers alt{false, false, true};

// Answers the name, the command (Enter alone unless given) and the program.
void answer_dialogue(run_driver& d, const std::string& program, const std::string& command = "") {
    d.wait_for_text("enter your Name: ");
    d.type("Bo\r" + command + "\r" + program + "\r");
}

bool shows_end_line(const screen_rows_text& rows) { return rows[24] == padded(end_line); }

// The ways a run is ended from outside, at any moment.
const struct { const char* name; void (*stop)(run_driver&); } stops[] = {
    {"window closed", [](run_driver&) { request_close(); }},
    {"Ctrl+Break", [](run_driver& d) { d.press(special_press(special_key::break_key, ctrl)); }},
    {"Ctrl+Scroll Lock", [](run_driver& d) { d.press(special_press(special_key::scroll_lock, ctrl)); }},
    {"Alt+F4", [](run_driver& d) { d.press(special_press(special_key::f4, alt)); }},
};

TEST(end_of_run, a_key_at_the_prompt_ends_the_run_with_exit_code_0) {
    run_result r = run_headless(run_shell, [](run_driver& d) {
        answer_dialogue(d, "ZavadOzididuva");
        d.wait_for(shows_end_line);
        d.settle();
        d.capture();
        d.type(" ");
    });
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.error_output, "");
    ASSERT_EQ(r.captures.size(), 1u);
    EXPECT_EQ(row_text(r.captures[0], 1), "scan is finished...");
    EXPECT_EQ(row_text(r.captures[0], 2), "your device have no Viruses");
}

// What the end-of-run wait was found doing once read_key had looked at the key
// buffer a number of times more.
const char* const still_waiting = "still waiting";
const char* const finished_early = "finished early";

// Waits (bounded) until read_key has looked at the key buffer `looks` times more
// than `from` counted. The wait ends on the first key it reads and reads no more,
// so a look that follows another shows that the one before did not end the run.
std::string end_wait_after_looks(uint64_t from, uint64_t looks) {
    auto finished = [] { return flags().program_finished.load(std::memory_order_acquire) != 0; };
    if (!poll_until([&] { return finished() || key_reads_done.load(std::memory_order_acquire) >= from + looks; })) {
        return "no look at the key buffer within 10 s";
    }
    return finished() ? finished_early : still_waiting;
}

// Waits (bounded) until the run is finished.
std::string finished_after_the_key() {
    return poll_until([] { return flags().program_finished.load(std::memory_order_acquire) != 0; })
               ? "finished"
               : "not finished within 10 s";
}

// The clear statement: the last statement, and so the last check, of a run in
// which no program name matched.
constexpr uint32_t last_statement_of_an_unmatched_run = 23;

// The type-ahead is typed while the shell's thread waits in the check of the last
// statement: after the last output and before end_program throws keys away. The
// driver's thread types it, so the key buffer keeps its one producer. THREADING:
// type_ahead_wanted is set by the shell's thread, type_ahead_typed by the driver.
std::atomic<bool> type_ahead_wanted{false};
std::atomic<bool> type_ahead_typed{false};

void type_ahead_at_the_last_check(uint32_t statement_number) {
    flags().event_pending.store(1, std::memory_order_release);  // every statement makes a check
    if (statement_number != last_statement_of_an_unmatched_run) return;
    type_ahead_wanted.store(true, std::memory_order_release);
    poll_until([] { return type_ahead_typed.load(std::memory_order_acquire); });
}

TEST(end_of_run, keys_typed_ahead_are_thrown_away_and_modifiers_do_not_count) {
    run_result r = run_headless(
        run_shell,
        [](run_driver& d) {
            answer_dialogue(d, "none");
            if (!poll_until([] { return type_ahead_wanted.load(std::memory_order_acquire); })) {
                d.fail("no check of the last statement within 10 s");
                return;
            }
            const uint64_t before_type_ahead = key_reads_done.load(std::memory_order_acquire);
            d.type("abc");
            d.note(std::to_string(waiting_key_count()) + " keys typed ahead");
            type_ahead_typed.store(true, std::memory_order_release);
            // Three looks take the keys and one finds the buffer empty: the keys
            // are thrown away. The wait's second look shows its first found nothing.
            d.note(end_wait_after_looks(before_type_ahead, 3 + 1 + 2));
            if (!shows_end_line(d.screen())) d.fail("the wait looks for keys, but the end line is not shown");
            for (special_key k : {special_key::shift, special_key::ctrl, special_key::alt, special_key::caps_lock,
                                  special_key::num_lock, special_key::scroll_lock}) {
                d.press(special_press(k));
            }
            // The first look counted from here may have begun before the presses;
            // the second begins after them, and the third shows that it found
            // nothing.
            d.note(end_wait_after_looks(key_reads_done.load(std::memory_order_acquire), 3));
            d.press(special_press(special_key::f1));
            d.note(finished_after_the_key());
        },
        std::chrono::milliseconds(20000), [] {
            statement_check_observer = type_ahead_at_the_last_check;
            flags().event_pending.store(1, std::memory_order_release);
        });
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.error_output, "");
    EXPECT_EQ(r.notes, (std::vector<std::string>{"3 keys typed ahead", still_waiting, still_waiting, "finished"}));
}

TEST(end_of_run, pause_at_the_prompt_swallows_the_next_key_and_a_further_key_ends_the_run) {
    run_result r = run_headless(run_shell, [](run_driver& d) {
        answer_dialogue(d, "none");
        if (!d.wait_for(shows_end_line)) return;
        // No key waits, so the throwing away ends at its first look: by the
        // second look from here the wait has begun.
        d.note(end_wait_after_looks(key_reads_done.load(std::memory_order_acquire), 2));
        d.press(special_press(special_key::pause));
        d.note(flags().program_paused.load() != 0 ? "paused" : "not paused");
        d.press(character_press('x'));
        d.note(flags().program_paused.load() == 0 ? "pause ended" : "still paused");
        d.note(waiting_key_count() == 0 ? "the key swallowed" : "the key in the key buffer");
        // As with the modifiers above: the third look shows the second, made
        // after the key, found nothing.
        d.note(end_wait_after_looks(key_reads_done.load(std::memory_order_acquire), 3));
        d.press(character_press('y'));
        d.note(finished_after_the_key());
    });
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.error_output, "");
    EXPECT_EQ(r.notes, (std::vector<std::string>{still_waiting, "paused", "pause ended", "the key swallowed",
                                                 still_waiting, "finished"}));
}

// Each way of ending a run from outside, at each moment: the run ends with exit
// code 0 and nothing on standard error, and until it has ended the screen shows
// nothing that the stop should have prevented.
TEST(end_of_run, stopped_from_outside_at_each_moment) {
    const struct {
        const char* name;
        void (*reach)(run_driver&);
        // Rows (1..25) and what they hold from the stop until the process ends.
        std::vector<std::pair<int, std::string>> rows_after_the_stop;
    } moments[] = {
        // The name was not ended: no greeting and no end line ever shows.
        {"while the name is asked",
         [](run_driver& d) {
             d.wait_for_text("enter your Name: ");
             d.type("Bo");
             d.wait_for_text("enter your Name: Bo");
         },
         {{2, ""}, {25, ""}}},
        {"at the end prompt",
         [](run_driver& d) {
             answer_dialogue(d, "none");
             d.wait_for(shows_end_line);
         },
         {{25, end_line}}},
    };
    for (const auto& moment : moments) {
        for (const auto& stop : stops) {
            const std::string label = std::string(stop.name) + " " + moment.name;
            run_result r = run_headless(run_shell, [&](run_driver& d) {
                moment.reach(d);
                stop.stop(d);
                d.capture_until_exit();
            });
            EXPECT_EQ(r.exit_code, 0) << label;
            EXPECT_FALSE(r.timed_out) << label;
            EXPECT_EQ(r.error_output, "") << label;
            // The first picture is the screen right after the stop.
            EXPECT_FALSE(r.captures.empty()) << label;
            for (const auto& capture : r.captures) {
                for (const auto& [row, text] : moment.rows_after_the_stop) {
                    EXPECT_EQ(row_text(capture, row), text) << label << ", row " << row;
                }
            }
        }
    }
}

TEST(end_of_run, pause_during_an_input_swallows_the_next_key) {
    run_result r = run_headless(run_shell, [](run_driver& d) {
        d.wait_for_text("enter your Name: ");
        d.type("A");
        d.press(special_press(special_key::pause));
        d.type("B");  // ends the pause, lost to the line
        d.type("C\r\r");
        d.wait_for_text("what Program you want to open: ");
        d.settle();
        d.capture();
        request_close();
    });
    EXPECT_EQ(r.exit_code, 0);
    ASSERT_EQ(r.captures.size(), 1u);
    EXPECT_EQ(row_text(r.captures[0], 1), "enter your Name: AC");
    EXPECT_EQ(row_text(r.captures[0], 2), "Welcome to Morvane          AC");
}

// Statement checks, and those that found the run paused: the shell's thread
// holds in such a check until the pause ends. Each check asks for the next, so
// every statement that completes makes one. THREADING: counted on the shell's
// thread, read by the driver.
std::atomic<int> checks_made{0};
std::atomic<int> checks_that_found_a_pause{0};

void count_checks_that_find_a_pause(uint32_t) {
    checks_made.fetch_add(1);
    if (flags().program_paused.load(std::memory_order_acquire) != 0) checks_that_found_a_pause.fetch_add(1);
    flags().event_pending.store(1, std::memory_order_release);
}

// Waits (bounded) until the count passes the given value.
bool count_passes(const std::atomic<int>& count, int value) {
    return poll_until([&] { return count.load() > value; });
}

TEST(end_of_run, pause_holds_the_prank_loop_until_a_key_and_a_close_ends_a_held_run) {
    run_result r = run_headless(
        run_shell,
        [](run_driver& d) {
            answer_dialogue(d, "ZodeZozo");
            d.wait_for_text("wich Website you want to open: ");
            d.type("youareanidiot.org\r");
            d.wait_for([](const screen_rows_text& rows) { return row_text(rows, 24) == "youareanidiot hahahahahahah!"; });
            d.press(special_press(special_key::pause));
            const bool found_paused = count_passes(checks_that_found_a_pause, 0);
            // Held in that check: ten display passes after it find the same screen,
            // and no further check is made.
            const int checks_when_held = checks_made.load();
            std::optional<screen_rows_text> held = d.next_screen();
            bool still = found_paused && held;
            for (int pass = 0; pass < 10 && still; ++pass) still = d.next_screen() == held;
            still = still && checks_made.load() == checks_when_held;
            d.note(still ? "held" : "moving while paused");
            // Shift alone ends the pause, and the loop goes on past the held check.
            d.press(special_press(special_key::shift, {true, false, false}));
            d.note(flags().program_paused.load() ? "still paused" : "running");
            d.note(count_passes(checks_made, checks_when_held) ? "loop goes on" : "loop still held");
            d.press(special_press(special_key::pause));
            d.press(special_press(special_key::pause));  // Pause again keeps it held
            d.note(flags().program_paused.load() ? "paused" : "not paused");
            request_close();
        },
        std::chrono::milliseconds(20000), [] { statement_check_observer = count_checks_that_find_a_pause; });
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.error_output, "");
    EXPECT_EQ(r.notes, (std::vector<std::string>{"held", "running", "loop goes on", "paused"}));
}

// Records every number statement_check receives and asks for a check at every
// statement frame.
void record_checks(uint32_t n) {
    std::fprintf(stderr, "%u ", n);
    flags().event_pending.store(1);
}

TEST(statement_checks, fall_at_exactly_the_statements_that_run) {
    // The command answer is Enter alone, or "cd", which adds the checks at 16 and 17.
    struct { std::string command; std::string program; std::string typed; std::string checks; } cases[] = {
        {"", "none", "", "1 2 3 4 5 6 7 8 9 10 11 12 13 15 22 23 "},
        {"cd", "none", "", "1 2 3 4 5 6 7 8 9 10 11 12 13 15 16 17 22 23 "},
        {"", "ZavadOzididuva", "", "1 2 3 4 5 6 7 8 9 10 11 12 13 15 22 23 24 25 26 "},
        {"", "Explorer", "", "1 2 3 4 5 6 7 8 9 10 11 12 13 15 22 23 29 30 31 32 33 "},
        {"", "Calculator", "1\r2\rN\r3\r4\rY\r",
         "1 2 3 4 5 6 7 8 9 10 11 12 13 15 22 23 36 37 38 39 40 41 37 38 39 40 41 42 "},
        {"", "ZodeZozo", "cern.ch\r", "1 2 3 4 5 6 7 8 9 10 11 12 13 15 22 23 45 46 47 48 49 50 51 "},
        {"", "ZodeZozo", "home.morvane.org\rY\r", "1 2 3 4 5 6 7 8 9 10 11 12 13 15 22 23 45 46 47 48 54 55 56 57 "},
        {"", "ZodeZozo", "morvane.net\r", "1 2 3 4 5 6 7 8 9 10 11 12 13 15 22 23 45 46 47 48 60 61 62 "},
        {"", "Writer", "words\r", "1 2 3 4 5 6 7 8 9 10 11 12 13 15 22 23 74 75 "},
    };
    for (const auto& c : cases) {
        const std::string label = c.command + " " + c.program + " " + c.typed;
        run_result r = run_headless(
            run_shell,
            [&](run_driver& d) {
                answer_dialogue(d, c.program, c.command);
                d.type(c.typed);
                d.wait_for(shows_end_line);
                d.type("x");
            },
            std::chrono::milliseconds(20000), [] {
                statement_check_observer = record_checks;
                flags().event_pending.store(1);
            });
        EXPECT_EQ(r.exit_code, 0) << label;
        EXPECT_EQ(r.error_output, c.checks) << label;
    }
}

}  // namespace
