// Runs stopped at random moments by a close, Ctrl+Break or Alt+F4: each ends with
// exit code 0, prints nothing after the stop but what the statement in progress
// completes, and leaves nothing on standard error (where a sanitizer would
// report). A run still going 10 s after its stop has hung; how soon a run ends is
// scripts/bench's to measure.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "headless_run.h"
#include "run_flags.h"
#include "run_shell.h"
#include "screen_lock.h"
#include "screen_text.h"
#include "text_screen.h"

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define __SANITIZE_THREAD__ 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
// ThreadSanitizer sleeps a second at every process exit by default, to catch
// races at exit; fifty runs need not wait fifty seconds for it.
extern "C" const char* __tsan_default_options() { return "atexit_sleep_ms=0"; }
#endif

namespace {

using namespace std::chrono_literals;
using std::chrono::steady_clock;

// Telling a hang from a stop: a stopped run ends long before this.
constexpr auto hang_limit = 10s;

enum class moment { dialogue, input, calculator, prank_loop, end_prompt, paused };
enum class stop_kind { close, ctrl_break, alt_f4 };

const char* moment_names[] = {"in the dialogue", "in an input", "in the Calculator", "in the prank loop",
                              "at the end prompt", "while paused"};
const char* stop_names[] = {"close", "Ctrl+Break", "Alt+F4"};

const std::string loop_line = "youareanidiot hahahahahahah!";
const std::string end_line = "Press any key to continue";

// The rows of the runtime's screen and its cursor row, taken under the lock.
struct screen_state {
    std::vector<std::string> rows;
    int cursor_row = 1;
    int cursor_column = 1;
};

screen_state current_screen() {
    screen_guard guard;
    const text_screen& screen = the_screen();
    screen_state state;
    for (int row = 1; row <= screen_rows; ++row) state.rows.push_back(row_bytes(screen, row));
    state.cursor_row = screen.cursor_row;
    state.cursor_column = screen.cursor_column;
    return state;
}

// The rows that hold anything, numbered, and the cursor: for a failure's note.
std::string shown(const screen_state& state) {
    std::string text;
    for (int row = 1; row <= screen_rows; ++row) {
        const std::string& line = state.rows[row - 1];
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        text += std::to_string(row) + ": " + line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
    }
    return text + "cursor at row " + std::to_string(state.cursor_row) + ", column " +
           std::to_string(state.cursor_column) + "\n";
}

const std::string greeting_row = "Welcome to Morvane          Ann";

// What the cursor's row may still get from the statement in progress: from
// column 1, one output line or prompt; after text already there, the echo of the
// one key being handled, or the rest of the greeting.
bool only_the_rest_of_the_row(const screen_state& at_stop, const std::string& row) {
    const std::string& before = at_stop.rows[at_stop.cursor_row - 1];
    if (at_stop.cursor_column == 1) return true;
    if (row.compare(0, greeting_row.size(), greeting_row) == 0) return true;
    int changed = 0;
    for (int column = 1; column <= screen_columns; ++column) {
        if (row[column - 1] == before[column - 1]) continue;
        if (column != at_stop.cursor_column) return false;
        ++changed;
    }
    return changed <= 1;
}

// What the statement in progress at the stop may still print: on the cursor's
// row, or one line that scrolls the print area (the loop line, or the line end
// of one whose item was printed).
bool only_the_statement_in_progress(const screen_state& at_stop, const screen_state& now) {
    if (now.rows[24] != at_stop.rows[24]) return false;
    bool same_but_cursor_row = true;
    for (int row = 1; row <= 24; ++row) {
        if (row != at_stop.cursor_row && now.rows[row - 1] != at_stop.rows[row - 1]) same_but_cursor_row = false;
    }
    if (same_but_cursor_row && only_the_rest_of_the_row(at_stop, now.rows[at_stop.cursor_row - 1])) return true;
    // A scroll from row 24 leaves the other rows as they were when they all hold
    // the loop line: it is told by the rows moved up, not by the cursor's row.
    if (at_stop.cursor_row != 24) return false;
    for (int row = 1; row <= 22; ++row) {
        if (now.rows[row - 1] != at_stop.rows[row]) return false;
    }
    const std::string blank(screen_columns, ' ');
    std::string loop_row = loop_line + std::string(screen_columns - loop_line.size(), ' ');
    return (now.rows[22] == at_stop.rows[23] || now.rows[22] == loop_row) && now.rows[23] == blank;
}

// Brings the run to the moment, then waits a random part of it.
void reach(run_driver& d, moment m, std::mt19937& random) {
    auto some_of = [&](int most_ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, most_ms)(random)));
    };
    d.wait_for_text("enter your Name: ");
    switch (m) {
        case moment::dialogue:
            d.type("Ann\rcd\r");  // taken one key per 10 ms: greeting, list, prompts
            some_of(150);
            break;
        case moment::input:
            d.type("Ann\rcd\rWriter\r");
            d.wait_for_text("Write: ");
            d.type("some words");
            some_of(200);
            break;
        case moment::calculator:
            d.type("Ann\r\rCalculator\r");
            d.wait_for_text("give me a number: ");
            d.type("12\r-3\rN\r32767\r1\rno\r&HFFFF\r");
            some_of(400);
            break;
        case moment::prank_loop:
        case moment::paused:
            d.type("Ann\r\rZodeZozo\r");
            d.wait_for_text("wich Website you want to open: ");
            d.type("youareanidiot.org\r");
            d.wait_for_text(loop_line);
            some_of(200);
            if (m == moment::paused) {
                d.press(special_press(special_key::pause));
                some_of(200);
            }
            break;
        case moment::end_prompt:
            d.type("Ann\r\rnone\r");
            d.wait_for_text(end_line);
            some_of(300);
            break;
    }
}

void stop(run_driver& d, stop_kind kind, bool modifier_first) {
    const key_modifiers ctrl{false, true, false};
    const key_modifiers alt{false, false, true};
    switch (kind) {
        case stop_kind::close:
            request_close();
            break;
        case stop_kind::ctrl_break:
            if (modifier_first) d.press(special_press(special_key::ctrl, ctrl));
            d.press(special_press(special_key::break_key, ctrl));
            break;
        case stop_kind::alt_f4:
            if (modifier_first) d.press(special_press(special_key::alt, alt));
            d.press(special_press(special_key::f4, alt));
            break;
    }
}

int64_t monotonic_ns(steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

TEST(stop_at_a_random_moment, each_of_50_runs_exits_0_printing_nothing_more) {
    constexpr int run_count = 50;
    for (int run = 0; run < run_count; ++run) {
        const moment m = moment(run % 6);
        const stop_kind kind = stop_kind((run / 6) % 3);
        std::mt19937 random(1000 + run);
        const bool modifier_first = random() % 2 == 0;
        const std::string label = std::string(stop_names[int(kind)]) + " " + moment_names[int(m)] + ", run " +
                                  std::to_string(run);

        run_result r = run_headless(
            run_shell,
            [&](run_driver& d) {
                reach(d, m, random);
                d.note("stop " + std::to_string(monotonic_ns(steady_clock::now())));
                stop(d, kind, modifier_first);
                // The stop takes effect at the shell's next check, and a check comes
                // only once event_pending is set, after stop_requested: until then
                // the shell may go on through any number of statements. From the
                // moment both are set (or the shell, having checked, is parked)
                // only the statement in progress may still print.
                auto stop_reaches_the_shell = [] {
                    const run_flags& f = flags();
                    return f.stop_requested.load() != 0 &&
                           (f.event_pending.load() != 0 || (f.threads_done.load() & shell_thread_done) != 0);
                };
                // The state is fleeting (the shell clears event_pending before it
                // parks), so the look that found it is the one that counts.
                auto deadline = steady_clock::now() + hang_limit;
                bool reached = false;
                while (!(reached = stop_reaches_the_shell()) && steady_clock::now() < deadline)
                    std::this_thread::sleep_for(1ms);
                if (!reached) d.note("the stop did not reach the shell within 10 s");
                const screen_state at_stop = current_screen();
                const bool end_line_shown = at_stop.rows[24].rfind(end_line, 0) == 0;
                if (end_line_shown != (m == moment::end_prompt)) d.note("end line shown: " + at_stop.rows[24]);
                // Until the process ends under this thread.
                while (steady_clock::now() < deadline) {
                    const screen_state now = current_screen();
                    if (!only_the_statement_in_progress(at_stop, now)) {
                        d.note("printed after the stop; the screen at the stop, then now:\n" + shown(at_stop) +
                               shown(now));
                        break;
                    }
                    std::this_thread::sleep_for(1ms);
                }
            },
            30s);
        const auto ended = steady_clock::now();

        ASSERT_FALSE(r.timed_out) << label;
        EXPECT_EQ(r.exit_code, 0) << label;
        EXPECT_EQ(r.error_output, "") << label;
        int64_t stopped_at = 0;
        for (const std::string& note : r.notes) {
            if (note.rfind("stop ", 0) == 0) {
                stopped_at = std::stoll(note.substr(5));
            } else {
                ADD_FAILURE() << label << ": " << note;
            }
        }
        ASSERT_NE(stopped_at, 0) << label;
        EXPECT_LT(monotonic_ns(ended) - stopped_at, std::chrono::nanoseconds(hang_limit).count())
            << label << ": still going 10 s after the stop";
    }
}

}  // namespace
