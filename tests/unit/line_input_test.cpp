#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "error_numbers.h"
#include "key_buffer.h"
#include "key_down.h"
#include "line_input.h"
#include "poll_until.h"
#include "run_flags.h"
#include "screen_lock.h"
#include "screen_text.h"
#include "text_screen.h"

namespace {

constexpr key_modifiers ctrl{false, true, false};

std::vector<key_press> keys_of(const std::string& bytes) {
    std::vector<key_press> keys;
    for (char c : bytes) keys.push_back(character_press(static_cast<uint8_t>(c)));
    return keys;
}

std::string row_of(int row) { return row_of(the_screen(), row); }

// How long an input on its own thread may take to end once its keys are given.
constexpr auto input_limit = std::chrono::seconds(10);

// An input on a thread of its own, as the shell's thread would run it.
class input_thread {
public:
    explicit input_thread(const input_entry& entry)
        : thread_([this, entry] {
              input_variable(entry, true);
              ended_.store(true, std::memory_order_release);
          }) {}
    input_thread(const input_thread&) = delete;
    input_thread& operator=(const input_thread&) = delete;
    ~input_thread() { join(); }

    bool ended() const { return ended_.load(std::memory_order_acquire); }

    // Waits (bounded) for the input to end and joins it. One that has not ended
    // within the limit fails the test and is ended by a stop request, which an
    // input answers at its next key poll.
    void join() {
        if (!thread_.joinable()) return;
        if (!poll_until([this] { return ended(); }, input_limit)) {
            ADD_FAILURE() << "the input did not end within 10 s of its keys; ended by a stop request";
            flags().stop_requested.store(1, std::memory_order_release);
        }
        thread_.join();
        flags().stop_requested.store(0, std::memory_order_release);
    }

private:
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

// Runs one input on its own thread, as the shell's thread would, and feeds it
// the keys through the key-down entry; the keys must end the input.
struct line_input_test : ::testing::Test {
    text_value* text = nullptr;
    int16_t number = 0;

    void SetUp() override { start_case(); }
    void TearDown() override {
        free_string(text);
        text = nullptr;
    }

    // A fresh start: no key waiting, a blank screen, an empty text variable. A
    // table of cases starts each case with it.
    void start_case() {
        key_entry stale{};
        while (take_key_entry(stale)) {
        }
        reset_screen(the_screen());
        free_string(text);
        text = new_string(0, false);
    }

    void run_input(uint32_t type_code, const std::vector<key_press>& keys) {
        const input_entry entry{type_code, type_code == text_type_code ? static_cast<void*>(text)
                                                                       : static_cast<void*>(&number)};
        uint32_t mark = temp_string_count();
        input_thread shell(entry);
        for (const key_press& key : keys) {
            // An input that has ended early takes no more keys: they are lost.
            while (waiting_key_count() >= key_buffer_slots - 1 && !shell.ended()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            key_down(key);
        }
        shell.join();
        EXPECT_EQ(temp_string_count(), mark);
    }
    std::string stored_text() const { return std::string(reinterpret_cast<char*>(text->bytes), text->length); }
    void print_at(int column, int row, const std::string& bytes) {
        move_cursor(the_screen(), static_cast<int16_t>(column), static_cast<int16_t>(row), false);
        text_value shown{reinterpret_cast<uint8_t*>(const_cast<char*>(bytes.data())), static_cast<uint32_t>(bytes.size()),
                         0, false, true, false};
        print_text(the_screen(), shown, false);
    }
};

TEST_F(line_input_test, text_answers_as_typed_and_as_stored) {
    struct { const char* typed; const char* shown; const char* stored; } cases[] = {
        {"abc", "abc", "abc"},
        {"ab,c", "abc", "abc"},
        {"\"a,b\"", "\"a,b\"", "a,b"},
        {"\"ab\"x, ", "\"ab\"", "ab"},
        {"\"ab\"\bc", "\"abc", "abc"},
        {"\"", "\"", ""},
        {" \"x", " \"x", " \"x"},
        {" Y", " Y", " Y"},
        {"\x1b", "\x1b", "\x1b"},
        {"ab\b\b\bc", "c", "c"},
        {"abc\t", "abc", "abc     "},
        {"abcdefgh\t", "abcdefgh", "abcdefgh        "},
        {"a\n\x0b\x0c\x1c\x1d\x1e\x1f", "a", "a"},
    };
    for (const auto& c : cases) {
        start_case();
        auto keys = keys_of(c.typed);
        keys.push_back(character_press(13));
        run_input(text_type_code, keys);
        EXPECT_EQ(stored_text(), c.stored) << c.typed;
        EXPECT_EQ(row_of(1), c.shown) << c.typed;
        EXPECT_EQ(the_screen().cursor_row, 2) << c.typed;
        EXPECT_EQ(the_screen().cursor_column, 1) << c.typed;
        EXPECT_FALSE(the_screen().cursor_visible);
    }
}

TEST_F(line_input_test, whole_numbers_refuse_keys_that_make_them_invalid) {
    struct { const char* typed; const char* shown; int16_t stored; } cases[] = {
        {"32767", "32767", 32767},    {"32768", "3276", 3276},        {"327678", "32767", 32767},
        {"-32768", "-32768", -32768}, {"-327689", "-32768", -32768},  {"05", "0", 0},
        {"0\b5", "5", 5},             {"-0", "-0", 0},                {"&HFFFF", "&HFFFF", -1},
        {"&H8000", "&H8000", -32768}, {"&h7fff", "&h7fff", 32767},    {"&H00000", "&H0000", 0},
        {"&O177777", "&O177777", -1}, {"&O200000", "&O20000", 8192},  {"&B11111111111111111", "&B1111111111111111", -1},
        {"+1 2.5e", "125", 125},      {"1-", "1", 1},                 {"&x", "&", 0},
        {"\"42\"", "\"42\"", 42},     {"12\t", "12", 12},             {"\x1b" "7", "7", 7},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        start_case();
        number = 999;
        auto keys = keys_of(c.typed);
        keys.push_back(character_press(13));
        run_input(whole_number_type_code, keys);
        EXPECT_EQ(number, c.stored) << c.typed;
        EXPECT_EQ(row_of(1), c.shown) << c.typed;
    }
}

TEST_F(line_input_test, control_keys_edit_and_extended_keys_are_consumed) {
    std::vector<key_press> keys = {
        character_press('a'),
        character_press('x'),
        character_press(8, ctrl),   // Ctrl+H: Backspace
        character_press(3, ctrl),   // Ctrl+C: the byte 3
        character_press(10, ctrl),  // Ctrl+J: nothing
        special_press(special_key::left),
        special_press(special_key::f1),
        character_press(127),       // Delete
        special_press(special_key::home),
        character_press('q', {false, false, true}),  // Alt+q
        character_press(9, ctrl),   // Ctrl+I: Tab, to 8 bytes
        character_press(7, ctrl),   // Ctrl+G: a pause, nothing added
        character_press('b'),
        character_press(13, ctrl),  // Ctrl+M: Enter
    };
    run_input(text_type_code, keys);
    EXPECT_EQ(stored_text(), std::string("a\x03      b"));
}

TEST_F(line_input_test, answer_that_ends_in_column_80_leaves_a_wrap_and_enter_moves_one_row) {
    print_at(1, 5, std::string(70, 'p'));
    run_input(text_type_code, keys_of(std::string(10, 'a') + "\r"));
    EXPECT_EQ(row_of(5), std::string(70, 'p') + std::string(10, 'a'));
    EXPECT_EQ(the_screen().cursor_row, 6);
    EXPECT_EQ(the_screen().cursor_column, 1);
    EXPECT_EQ(row_of(6), "");
}

TEST_F(line_input_test, refused_byte_in_column_80_is_taken_back_and_the_next_byte_goes_there) {
    // Nine bytes end in column 79; the comma echoed into column 80 is refused.
    print_at(1, 5, std::string(70, 'p'));
    std::vector<key_press> keys = keys_of("abcdefghi,j\r");
    run_input(text_type_code, keys);
    EXPECT_EQ(row_of(5), std::string(70, 'p') + "abcdefghij");
    EXPECT_EQ(row_of(6), "");
    EXPECT_EQ(stored_text(), "abcdefghij");
}

TEST_F(line_input_test, refused_byte_after_an_answer_ending_in_column_80_keeps_the_wrap_pending) {
    print_at(1, 5, std::string(70, 'p'));
    run_input(text_type_code, keys_of("abcdefghij,k\r"));
    EXPECT_EQ(row_of(5), std::string(70, 'p') + "abcdefghij");
    EXPECT_EQ(row_of(6), "k");
    EXPECT_EQ(stored_text(), "abcdefghijk");
}

// Waits (bounded) until the input on its own thread has taken every key and the
// screen satisfies the condition; the condition must fail before the last key is
// handled. False on time-out.
bool wait_for_screen(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        if (waiting_key_count() == 0) {
            screen_guard guard;  // the input is still running on its own thread
            if (condition()) return true;
        }
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST_F(line_input_test, backspace_undoes_a_wrap_and_a_scroll_at_row_24) {
    for (int row = 1; row <= 23; ++row) print_at(1, row, "row " + std::to_string(row));
    const std::string row_24_before = std::string(75, 'p');
    print_at(1, 24, row_24_before);
    auto before = the_screen().cells;
    input_thread shell(input_entry{text_type_code, text});
    auto type = [](const std::vector<key_press>& keys) {
        for (const key_press& key : keys) {
            while (waiting_key_count() >= 15) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            key_down(key);
        }
    };
    // Six bytes: the sixth wraps onto a new row and scrolls.
    type(keys_of("abcdef"));
    EXPECT_TRUE(wait_for_screen([&] { return row_of(24) == "f" && row_of(23) == row_24_before + "abcde"; }))
        << "row 23: " << row_of(23) << "\nrow 24: " << row_of(24);
    // Backspace takes the sixth back with its scroll, five more empty the answer;
    // Enter is held back until the screen has been compared.
    type(std::vector<key_press>(6, character_press(8)));
    EXPECT_TRUE(wait_for_screen([&] { return row_of(24) == row_24_before; })) << "row 24: " << row_of(24);
    {
        screen_guard guard;
        EXPECT_EQ(the_screen().cells, before);
        EXPECT_EQ(the_screen().cursor_row, 24);
        EXPECT_EQ(the_screen().cursor_column, 76);
    }
    key_down(character_press(13));
    shell.join();
    EXPECT_EQ(stored_text(), "");
}

TEST_F(line_input_test, backspace_after_a_wrap_in_mid_screen_blanks_the_next_row_and_keeps_the_wrap) {
    // "abcde" ends in column 80 of row 5 with a wrap pending; "f" goes to row 6.
    const std::string row_5 = std::string(75, 'p') + "abcde";
    print_at(1, 5, std::string(75, 'p'));
    input_thread shell(input_entry{text_type_code, text});
    for (const key_press& key : keys_of("abcdef\b")) key_down(key);
    EXPECT_TRUE(wait_for_screen([] { return row_of(6).empty(); })) << "row 6: " << row_of(6);
    {
        screen_guard guard;
        EXPECT_EQ(row_of(5), row_5);
        EXPECT_EQ(the_screen().cursor_row, 5);
        EXPECT_EQ(the_screen().cursor_column, 80);
        EXPECT_TRUE(the_screen().wrap_pending);
    }
    key_down(character_press(13));
    shell.join();
    EXPECT_EQ(stored_text(), "abcde");
    EXPECT_EQ(the_screen().cursor_row, 6);
}

TEST_F(line_input_test, tab_counts_from_the_answers_first_byte_not_the_screen_column) {
    // The answer starts in column 8: "abc" and five blanks make eight bytes, so
    // "d" is the ninth, in column 16.
    const std::string prompt = "Write: ";
    print_at(1, 1, prompt);
    run_input(text_type_code, keys_of("abc\td\r"));
    EXPECT_EQ(stored_text(), "abc     d");
    EXPECT_EQ(row_of(1), prompt + "abc     d");
}

TEST_F(line_input_test, nothing_happens_while_an_error_is_pending) {
    assign_bytes(text, reinterpret_cast<const uint8_t*>("kept"), 4);
    key_down(character_press('z'));
    flags().error_pending = illegal_function_call;
    input_variable(input_entry{text_type_code, text}, true);
    flags().error_pending = 0;
    EXPECT_EQ(stored_text(), "kept");
    EXPECT_EQ(waiting_key_count(), 1);
    EXPECT_EQ(the_screen().cursor_column, 1);
    EXPECT_EQ(row_of(1), "");
}

}  // namespace
