// The error dialog owns the window in a whole run: what is typed while it is up,
// run-control keys included, is not taken, and the next prompt gets only what is
// typed after the answer.
#include <gtest/gtest.h>

#include <atomic>

#include "error_run_plan.h"
#include "key_buffer.h"

namespace {

using namespace error_runs;
using namespace std::chrono_literals;

constexpr key_modifiers ctrl{false, true, false};
constexpr key_modifiers alt{false, false, true};

// The dialog waits, as a person would take their time, until the driver has
// typed into the window; then it is answered Yes.
std::atomic<bool> dialog_up{false};
std::atomic<bool> typed_meanwhile{false};

box_answer answer_once_typed(const message_box& box) {
    record_box(box);
    dialog_up.store(true);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!typed_meanwhile.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(2ms);
    return box_answer::yes;
}

TEST(box_keys, keys_typed_while_the_dialog_is_up_are_not_taken) {
    run_result r = run_headless(
        run_shell,
        [](run_driver& d) {
            if (!d.wait_for_text(name_prompt)) return;
            d.type("Bo\r");
            const auto deadline = std::chrono::steady_clock::now() + 10s;
            while (!dialog_up.load() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(2ms);
            // The next prompt's answer, and the keys that would pause, step the
            // display or end the run.
            d.type("cd\r");
            d.press(special_press(special_key::pause));
            d.press(character_press(13, alt));
            d.press(special_press(special_key::break_key, ctrl));
            d.press(special_press(special_key::f4, alt));
            d.note(waiting_key_count() == 0 ? "buffer empty" : "keys in the buffer");
            d.note(flags().program_paused.load() == 0 ? "not paused" : "paused");
            typed_meanwhile.store(true);
            if (!d.wait_for([](const screen_rows_text& rows) { return prompt_is_waiting(rows, command_prompt); })) return;
            d.type("x\r");
            if (!d.wait_for_text(program_prompt)) return;
            d.settle();
            d.capture();
            d.note(flags().display_mode.load() == 0 ? "windowed" : "display stepped");
            request_close();
        },
        30s,
        [] {
            set_message_box_shower(answer_once_typed);
            error_point_hook = [](uint32_t statement_number) {
                static int greeting_reads = 0;
                if (statement_number == 13 && ++greeting_reads == 2) raise_error(illegal_function_call);
            };
        });
    ASSERT_FALSE(r.timed_out) << r.error_output;
    EXPECT_EQ(r.exit_code, 0) << r.error_output;
    EXPECT_EQ(boxes_of(r).size(), 1u) << r.error_output;
    EXPECT_EQ(r.notes, (std::vector<std::string>{"buffer empty", "not paused", "windowed"}));
    ASSERT_EQ(r.captures.size(), 1u);
    // x alone answered the command prompt: no list, and no key was swallowed by a pause.
    EXPECT_EQ(row_text(r.captures[0], 2), "Welcome to Morvane          what do you want to do: x");
    EXPECT_EQ(row_text(r.captures[0], 3), "what Program you want to open:");
}

}  // namespace
