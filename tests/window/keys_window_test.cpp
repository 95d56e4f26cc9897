// Keys in the real window, sent with xdotool as a person types them: every kind of
// key reaches the key buffer as the key table reads it, in the order pressed, at
// a prompt and where the end of the run waits; a Pause keeps its place among the
// keys around it; keys without an entry still end a pause; and while the error
// dialog is up the window takes no keys.
//
// The test program is also the program under test: started with
// `--show-key-entries` it runs the real runtime and window with a routine that
// prints every key-buffer entry it takes (character and scan code) on a row of its
// own, which is what the end of the run reads too; with
// `--shell-with-greeting-error` it runs the shell with an error raised inside the
// greeting. The prompts are those of the real program, build/morvane.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "console_runtime.h"
#include "fixture_screen.h"
#include "glut_window.h"
#include "greeting_error_shell.h"
#include "key_buffer.h"
#include "park_and_exit.h"
#include "run_flags.h"
#include "screen_text.h"
#include "started_window_test.h"
#include "text_screen.h"
#include "x_window_probe.h"

namespace {

using namespace std::chrono_literals;

constexpr char entries_argument[] = "--show-key-entries";

// The shell's thread: each key-buffer entry as "character scan_code" on a row.
[[noreturn]] void show_key_entries() {
    for (;;) {
        if (stop_is_requested()) halt_program_thread();
        key_entry entry{};
        if (!take_key_entry(entry)) {
            std::this_thread::sleep_for(5ms);
            continue;
        }
        const std::string line = std::to_string(entry.character) + " " + std::to_string(entry.scan_code);
        print_text(literal_text(line), true);
    }
}

const std::string name_prompt = "enter your Name: ";
const std::string command_prompt = "what do you want to do: ";
const std::string program_prompt = "what Program you want to open: ";
const std::string end_line = "Press any key to continue";

std::string greeting(const std::string& name) { return "Welcome to Morvane" + std::string(10, ' ') + name; }

class keys_window : public started_window_test {
protected:
    // Waits until the window shows the screen, the text cursor allowed on any
    // cell; what still differs.
    std::string wait_for_screen(Window window, const screen_rows& expected) {
        return started_window_test::wait_for_screen(window, expected, cursor_over::any_cell);
    }

    // Waits until row `row` holds something, then gives its text (trailing blanks
    // cut); the decoded text with '?' for an unreadable cell.
    std::string wait_for_row(Window window, int row) {
        std::string shown;
        wait_for_picture(window, [&](const window_picture& picture) {
            const std::string text = decode_screen(picture, light_grey, black).as_text();
            shown = text.substr(size_t(row - 1) * 81, 80);
            while (!shown.empty() && shown.back() == ' ') shown.pop_back();
            return !shown.empty();
        });
        return shown;
    }
};

// One key as xdotool names it, and the key-buffer entry it must give (empty: none).
struct key_case {
    const char* key;
    const char* entry;
};

// Each batch is typed in one xdotool call and ends with a key whose entry shows
// that every key before it has been handled.
TEST_F(keys_window, every_kind_of_key_reaches_the_key_buffer_as_the_key_table_reads_it) {
    const std::vector<std::vector<key_case>> batches = {
        // Ctrl with a character: the character itself with Ctrl held.
        {{"ctrl+space", "32 57"},     {"ctrl+2", "0 3"},            {"ctrl+at", "0 3"},
         {"ctrl+3", ""},              {"ctrl+4", ""},               {"ctrl+5", ""},
         {"ctrl+7", ""},              {"ctrl+8", ""},               {"ctrl+9", ""},
         {"ctrl+0", ""},              {"ctrl+grave", ""},           {"ctrl+period", ""},
         {"ctrl+slash", ""},          {"ctrl+semicolon", ""},       {"ctrl+6", "30 7"},
         {"ctrl+minus", "31 12"},     {"ctrl+backslash", "28 43"},  {"ctrl+bracketright", "29 27"},
         {"ctrl+bracketleft", "27 26"}, {"ctrl+Return", "10 28"},   {"ctrl+c", "3 46"},
         {"ctrl+h", "8 35"},          {"ctrl+m", "13 50"},          {"z", "122 44"}},
        // Shift+Tab, Alt, the editing keys. (Keysyms that the keymap lacks, such
        // as Latin-1 letters, are not sent: xdotool lends them a spare keycode
        // for one press only, and a program that reads the press after the
        // keycode is given back can no longer look it up.)
        {{"shift+Tab", "0 15"},       {"alt+a", "0 30"},            {"alt+1", "0 2"},
         {"alt+BackSpace", "0 14"},   {"alt+Tab", ""},              {"a", "97 30"},
         {"shift+a", "65 30"},        {"BackSpace", "8 14"},        {"Tab", "9 15"},
         {"Return", "13 28"},         {"Escape", "27 1"},           {"space", "32 57"},
         {"Delete", "0 83"},          {"z", "122 44"}},
        // Function, cursor and keypad keys (Num Lock off, then on), the locks.
        {{"F1", "0 59"},              {"shift+F1", "0 84"},         {"ctrl+F1", "0 94"},
         {"F12", "0 134"},            {"Home", "0 71"},             {"ctrl+Home", "0 119"},
         {"Next", "0 81"},            {"KP_Home", "0 71"},          {"KP_Begin", ""},
         {"KP_Enter", "13 28"},       {"ctrl+KP_Enter", "10 28"},   {"Num_Lock", ""},
         {"KP_Home", "55 8"},         {"KP_Begin", "53 6"},         {"Num_Lock", ""},
         {"Caps_Lock", ""},           {"b", "66 48"},               {"Caps_Lock", ""},
         {"z", "122 44"}},
        // Modifiers alone and keys the key table does not know.
        {{"Shift_L", ""},             {"Control_L", ""},            {"Alt_L", ""},
         {"Super_L", ""},             {"Print", ""},                {"Menu", ""},
         {"Scroll_Lock", ""},         {"z", "122 44"}},
    };
    const Window window = start_program(this_program(), {entries_argument});
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({})), "");
    std::vector<std::string> shown;
    for (const auto& batch : batches) {
        std::vector<std::string> keys;
        for (const key_case& c : batch) {
            keys.push_back(c.key);
            if (*c.entry) shown.push_back(c.entry);
        }
        SCOPED_TRACE(keys.front());
        ASSERT_TRUE(send_keys(window, keys, 20));
        ASSERT_EQ(wait_for_screen(window, screen_after_lines(shown)), "");
    }
    EXPECT_EQ(close_and_wait(window), 0);
}

// At the name prompt a text answer takes what the key table gives as one byte;
// extended keys, ignored bytes and keys without an entry leave it as it is, and
// Ctrl+Enter does not end it.
TEST_F(keys_window, at_a_prompt_the_answer_takes_only_what_the_table_gives_as_a_byte) {
    const Window window = start_program(MORVANE_PROGRAM_PATH);
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({name_prompt})), "");
    ASSERT_TRUE(send_keys(window, {"a", "ctrl+space", "b", "ctrl+2", "ctrl+at", "ctrl+3", "ctrl+8", "ctrl+grave",
                                   "ctrl+slash", "ctrl+6", "ctrl+minus", "ctrl+backslash", "ctrl+bracketright",
                                   "ctrl+bracketleft", "ctrl+Return", "shift+Tab", "alt+a", "alt+1",
                                   "alt+BackSpace", "Print", "Menu", "Super_L", "KP_Begin", "c", "Return"}));
    const std::string answer = "a b\x1b" "c";
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({name_prompt + answer, greeting(answer),
                                                        command_prompt})),
              "");
    EXPECT_EQ(close_and_wait(window), 0);
}

// At "Press any key to continue" every key that gives an entry ends the run.
TEST_F(keys_window, at_the_end_prompt_keys_with_an_entry_end_the_run) {
    for (const char* key : {"ctrl+space", "ctrl+2", "ctrl+6", "ctrl+bracketleft", "ctrl+Return", "shift+Tab",
                            "alt+a"}) {
        SCOPED_TRACE(key);
        const Window window = start_program(MORVANE_PROGRAM_PATH);
        ASSERT_NE(window, 0u);
        ASSERT_EQ(wait_for_screen(window, screen_with_rows({name_prompt})), "");
        ASSERT_TRUE(send_keys(window, {"B", "o", "Return", "Return", "x", "Return"}));
        std::vector<std::string> end_screen(24);
        end_screen.push_back(end_line);
        ASSERT_EQ(wait_for_screen(window, screen_with_rows(end_screen)), "");
        ASSERT_TRUE(send_keys(window, {key}));
        EXPECT_EQ(program.wait_for_exit(generous), 0);
    }
}

// x, Pause, y and z back to back: Pause comes after x, and y ends the pause and is
// swallowed, so the name is xz. Ten rounds, each in a fresh run.
TEST_F(keys_window, a_key_sent_back_to_back_with_pause_keeps_its_place) {
    for (int round = 1; round <= 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const Window window = start_program(MORVANE_PROGRAM_PATH);
        ASSERT_NE(window, 0u);
        ASSERT_EQ(wait_for_screen(window, screen_with_rows({name_prompt})), "");
        ASSERT_TRUE(send_keys(window, {"x", "Pause", "y", "z", "Return"}, 0));
        EXPECT_EQ(wait_for_row(window, 2), greeting("xz"));
        EXPECT_EQ(close_and_wait(window), 0);
    }
}

// A key-down that gives no entry ends a pause and is swallowed, as Shift alone does.
TEST_F(keys_window, keys_without_an_entry_end_a_pause) {
    const Window window = start_program(MORVANE_PROGRAM_PATH);
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({name_prompt})), "");
    // Each Pause is ended by the key after it; the letter after that is typed.
    // Caps Lock ends a pause and turns the lock on (H), the next one turns it off.
    ASSERT_TRUE(send_keys(window, {"a", "Pause", "Print",     "b", "Pause", "Menu",      "c",
                                   "Pause", "Super_L",   "d", "Pause", "KP_Begin",  "e",
                                   "Pause", "Control_L", "f", "Pause", "Shift_L",   "g",
                                   "Pause", "Caps_Lock", "h", "Pause", "Caps_Lock", "i",
                                   "Pause", "Alt_L",     "j", "Return"}));
    const std::string answer = "abcdefgHij";
    EXPECT_EQ(wait_for_row(window, 2), greeting(answer));
    EXPECT_EQ(close_and_wait(window), 0);
}

// c, d and Enter typed into the window while the error dialog waits are not
// taken: after Yes the command prompt waits with nothing typed, and takes what is
// typed after.
TEST_F(keys_window, keys_typed_into_the_window_while_the_dialog_is_up_are_not_taken) {
    const std::string path = this_program();
    const Window window = start_program(path, {greeting_error_argument});
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({name_prompt})), "");
    ASSERT_TRUE(send_keys(window, {"B", "o", "Return"}));

    const std::string title = "Unhandled Error #5 - " + file_name(path);
    // xmessage sets no _NET_WM_PID: the box is found by its title alone.
    box = probe->wait_for_window(title, 0, generous);
    ASSERT_NE(box, 0u) << "no box titled \"" << title << "\" appeared";
    ASSERT_TRUE(send_keys(window, {"c", "d", "Return"}));
    ASSERT_TRUE(send_keys(box, {"Return"}));
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({name_prompt + "Bo", greeting("") + command_prompt})),
              "");
    EXPECT_EQ(probe->find_window(title, 0), 0u) << "the box is still up after Yes";

    ASSERT_TRUE(send_keys(window, {"x", "Return"}));
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({name_prompt + "Bo",
                                                        greeting("") + command_prompt + "x",
                                                        program_prompt})),
              "");
    EXPECT_EQ(close_and_wait(window), 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], entries_argument) == 0) {
        glut_window window;
        run_console(argc, argv, show_key_entries, window);
    }
    if (argc > 1 && std::strcmp(argv[1], greeting_error_argument) == 0) run_shell_with_greeting_error(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
