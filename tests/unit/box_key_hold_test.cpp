// While a message box is shown, key-downs go nowhere: not to the key buffer, not
// to the run-control rules. Once the box is answered, the window's keys delivered
// while it was up are taken in and dropped before keys count again.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "box_key_hold.h"
#include "key_buffer.h"
#include "key_down.h"
#include "run_flags.h"

namespace {

constexpr key_modifiers ctrl{false, true, false};
constexpr key_modifiers alt{false, false, true};

void empty_key_buffer() {
    key_entry stale{};
    while (take_key_entry(stale)) {
    }
}

// The entries waiting, as characters, emptying the buffer.
std::string waiting_characters() {
    std::string taken;
    key_entry entry{};
    while (take_key_entry(entry)) taken += char(entry.character);
    return taken;
}

struct box_key_hold : ::testing::Test {
    void SetUp() override { empty_key_buffer(); }
    void TearDown() override {
        auto& f = flags();
        f.program_paused.store(0);
        f.program_finished.store(0);
        f.event_pending.store(0);
        f.display_mode.store(0);
        empty_key_buffer();
    }
};

TEST_F(box_key_hold, keys_while_a_box_is_up_reach_neither_the_buffer_nor_the_run_control_rules) {
    auto& f = flags();
    hold_window_keys();
    EXPECT_TRUE(window_keys_held());
    key_down(character_press('c'));
    key_down(character_press('d'));
    key_down(character_press(13));
    key_down(special_press(special_key::pause));
    key_down(special_press(special_key::break_key, ctrl));
    key_down(special_press(special_key::f4, alt));
    key_down(character_press(13, alt));
    EXPECT_EQ(waiting_key_count(), 0);
    EXPECT_EQ(f.program_paused.load(), 0);
    EXPECT_EQ(f.event_pending.load(), 0u);
    EXPECT_EQ(f.program_finished.load(), 0);
    EXPECT_EQ(f.display_mode.load(), 0u);

    // No front end takes in keys here: the keys count again at once.
    release_window_keys();
    EXPECT_FALSE(window_keys_held());
    key_down(character_press('x'));
    EXPECT_EQ(waiting_characters(), "x");
}

TEST_F(box_key_hold, a_second_box_keeps_the_keys_held_when_the_first_is_answered) {
    hold_window_keys();
    hold_window_keys();  // a critical box over the error dialog
    release_window_keys();
    key_down(character_press('c'));
    EXPECT_EQ(waiting_key_count(), 0);
    release_window_keys();
    key_down(character_press('x'));
    EXPECT_EQ(waiting_characters(), "x");
}

// The release waits until the window's thread has taken in what the window
// system delivered while the box was up; those keys are dropped, the keys after
// the release count. In a child process: a front end that takes in keys on
// request stays so for the process's life.
TEST(box_key_hold_death, release_waits_for_the_window_thread_to_take_in_and_drop_its_keys) {
    EXPECT_EXIT(
        {
            std::atomic<bool> ready{false};
            std::atomic<bool> stop{false};
            std::atomic<int> intakes{0};
            // The window's thread: at each turn, a requested intake hands over
            // the keys that were still on their way, then finishes.
            std::thread window([&] {
                take_in_keys_on_request();
                ready.store(true);
                while (!stop.load()) {
                    uint32_t request = 0;
                    if (key_intake_requested(request)) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
                        key_down(character_press('c'));
                        key_down(character_press('d'));
                        key_down(special_press(special_key::pause));
                        intakes.fetch_add(1);
                        finish_key_intake(request);
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
            });
            while (!ready.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            hold_window_keys();
            release_window_keys();
            const int after_release = intakes.load();
            key_down(character_press('x'));
            stop.store(true);
            window.join();
            key_entry entry{};
            std::string taken;
            while (take_key_entry(entry)) taken += char(entry.character);
            std::fprintf(stderr, "intakes=%d taken=%s paused=%d\n", after_release, taken.c_str(),
                         int(flags().program_paused.load()));
            std::exit(0);
        },
        testing::ExitedWithCode(0), "^intakes=1 taken=x paused=0\n$");
}

}  // namespace
