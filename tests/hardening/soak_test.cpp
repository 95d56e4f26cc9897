// Soak runs: random key-downs of every key and modifier through the real key-down
// entry and key buffer into live inputs, each key checked against the answer
// rules and a screen kept apart from the runtime's (answer_rules.h,
// expected_screen.h); then a close, which must end the process with code 0.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "answer_rules.h"
#include "display_copy.h"
#include "expected_screen.h"
#include "headless_run.h"
#include "key_buffer.h"
#include "key_table.h"
#include "line_editor.h"
#include "park_and_exit.h"
#include "random_keys.h"
#include "run_control.h"
#include "run_flags.h"
#include "run_shell.h"

namespace {

using namespace std::chrono_literals;

// The field's value as the variable must hold it, when the line stands.
struct accepted_value {
    bool valid = false;
    std::string text;
    int32_t number = 0;
};

accepted_value value_of(const std::string& line, uint32_t type_code) {
    accepted_value value;
    std::optional<std::string> field = answer_rules::field_of(line);
    if (!field) return value;
    if (type_code == text_type_code) {
        value.valid = true;
        value.text = *field;
        return value;
    }
    std::optional<int32_t> number = answer_rules::whole_number_of(*field);
    value.valid = number.has_value();
    value.number = number.value_or(0);
    return value;
}

bool is_ignored(uint8_t b) { return (b >= 10 && b <= 12) || (b >= 28 && b <= 31); }

// ---- The line editor's per-key step, on the shell's thread of a real run ----

constexpr int soak_key_count = 10000;

// The soak's first fault, told on standard error (the parent wants it empty).
bool soak_failed = false;
void soak_fault(int key_number, const std::string& what) {
    if (soak_failed) return;
    soak_failed = true;
    std::fprintf(stderr, "soak key %d: %s\n", key_number, what.c_str());
}

struct soak_prompt {
    uint32_t type_code;
    const char* prompt;
};
// The Calculator's three inputs, over and over.
const soak_prompt soak_prompts[] = {{whole_number_type_code, "give me a number: "},
                                    {whole_number_type_code, "give me another number: "},
                                    {text_type_code, "do you want to exit Y/N: "}};

// One input of the soak: the keys it takes and what each must leave behind.
class soak_input {
public:
    soak_input(uint32_t type_code, void* variable) : type_code_(type_code), variable_(variable) {
        start_line_editor(editor_, input_entry{type_code, variable});
        at_start_ = expected_screen::of(the_screen());
        expected_ = at_start_;
    }

    // One one-byte key as read from the key buffer; true when it ended the input.
    bool take(uint8_t b) {
        bool ended = handle_line_key(editor_, b);
        if (b == 13) {
            end_line_editor(editor_, true);
            expected_.wrap_pending = false;
            expected_.new_row();
        } else if (b == 8) {
            if (!line_.empty()) {
                line_.pop_back();
                rebuild();
            }
        } else if (b == 9) {
            // The Tab's blanks up to the next multiple of 8 bytes, fed in one at a
            // time as input_variables does.
            int blanks = 8 - static_cast<int>(line_.size() % 8);
            if (editor_.pending_blanks != blanks) tab_fault_ = true;
            for (; blanks > 0; --blanks) {
                editor_.pending_blanks = blanks - 1;
                handle_line_key(editor_, blank_byte);
                type(blank_byte);
            }
        } else if (b == 7) {
            // The bell prints nothing, but a pending wrap becomes the new row.
            if (expected_.wrap_pending) {
                expected_.wrap_pending = false;
                expected_.new_row();
            }
        } else if (!is_ignored(b)) {
            type(b);
        }
        return ended;
    }

    // What is wrong after a key, or empty.
    std::string faults(bool ended) const {
        const text_screen& screen = the_screen();
        if (screen.cursor_row < screen.top_row || screen.cursor_row > screen.bottom_row || screen.cursor_column < 1 ||
            screen.cursor_column > screen_columns) {
            return "cursor outside the print area";
        }
        if (screen.wrap_pending && screen.cursor_column != screen_columns) return "wrap pending off column 80";
        if (tab_fault_) return "Tab does not feed blanks up to the next multiple of 8";
        if (screen.cursor_visible == ended) return "cursor shown when it must not be, or hidden";
        if (std::string(editor_.answer_line.begin(), editor_.answer_line.end()) != line_)
            return "answer line is not the accepted one";
        accepted_value value = value_of(line_, type_code_);
        if (!value.valid) return "the accepted line breaks the rules";
        if (type_code_ == text_type_code) {
            auto* text = static_cast<const text_value*>(variable_);
            if (std::string(reinterpret_cast<const char*>(text->bytes), text->length) != value.text)
                return "text variable does not hold the field";
        } else if (*static_cast<const int16_t*>(variable_) != value.number) {
            return "number variable does not hold the field's value";
        }
        return expected_.differences(screen);
    }

private:
    // A typed byte: echoed, then kept or taken back.
    void type(uint8_t b) {
        if (value_of(line_ + char(b), type_code_).valid) {
            line_ += char(b);
            expected_.echo(b);
        } else {
            rebuild();
        }
    }
    void rebuild() {
        expected_ = at_start_;
        for (char c : line_) expected_.echo(static_cast<uint8_t>(c));
    }

    uint32_t type_code_;
    void* variable_;
    line_editor editor_;
    expected_screen at_start_;
    expected_screen expected_;
    std::string line_;
    bool tab_fault_ = false;
};

void editor_soak_routine() {
    random_keys keys(20261210);
    text_value* text_answer = new_string(0, false);
    int16_t number_answer = 0;
    uint32_t mark = temp_string_count();
    int key_number = 0;
    for (int turn = 0; key_number < soak_key_count && !soak_failed; ++turn) {
        const soak_prompt& prompt = soak_prompts[turn % 3];
        print_text(*temp_string_cstr(prompt.prompt), false);
        release_temp_strings(mark, 0);
        void* variable = prompt.type_code == text_type_code ? static_cast<void*>(text_answer) : &number_answer;
        soak_input input(prompt.type_code, variable);
        bool ended = false;
        while (!ended && key_number < soak_key_count && !soak_failed) {
            ++key_number;
            key_down(keys.next());
            text_value* key = read_key();
            bool one_byte = key->length == 1;
            uint8_t b = one_byte ? key->bytes[0] : 0;
            release_temp_strings(mark, 0);
            if (one_byte) ended = input.take(b);
            std::string found = input.faults(ended);
            if (!found.empty()) soak_fault(key_number, found);
        }
    }
    halt_program_thread();
}

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

TEST(soak, ten_thousand_random_keys_through_the_line_editor_then_a_close) {
    run_result r = run_headless(
        editor_soak_routine,
        [](run_driver& d) {
            bool parked = wait_until([] { return (flags().threads_done.load() & shell_thread_done) != 0; }, 240s);
            if (!parked) d.note("the soak did not finish");
            request_close();
        },
        300s);
    ASSERT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.error_output, "");
    EXPECT_TRUE(r.notes.empty()) << r.notes.front();
}

// ---- The same keys through the shell's own inputs at the Calculator ----

constexpr int shell_key_count = 1000;

// The byte that a key-down brings to an input, if any: run-control keys and
// extended keys bring none.
std::optional<uint8_t> byte_of(const key_press& press, bool paused) {
    if (classify_key_down(press, paused) != run_control_action::ordinary_key) return std::nullopt;
    std::optional<key_entry> entry = translate_key(press);
    if (!entry || (entry->character == 0 && entry->scan_code != 0)) return std::nullopt;
    return entry->character;
}

// The Calculator's answers as the keys make them.
struct calculator_answers {
    int prompt = 0;  // 0 first number, 1 second number, 2 exit answer
    std::string line;
    int32_t first = 0;
    int32_t second = 0;

    // A byte as the line editor takes it; true when Enter ended the second number.
    bool take(uint8_t b) {
        uint32_t type = prompt == 2 ? text_type_code : whole_number_type_code;
        auto type_in = [&](char c) {
            if (value_of(line + c, type).valid) line += c;
        };
        if (b == 13) {
            int32_t number = value_of(line, type).number;
            if (prompt == 0) first = number;
            if (prompt == 1) second = number;
            line.clear();
            prompt = (prompt + 1) % 3;
            return prompt == 2;
        }
        if (b == 8) {
            if (!line.empty()) line.pop_back();
        } else if (b == 9) {
            for (size_t blanks = 8 - line.size() % 8; blanks > 0; --blanks) type_in(' ');
        } else if (b != 7 && !is_ignored(b)) {
            type_in(char(b));
        }
        return false;
    }
    bool would_leave(uint8_t b) const { return b == 13 && prompt == 2 && value_of(line, text_type_code).text == "Y"; }
    std::string sum_line() const {
        int32_t sum = first + second;
        return (sum < 0 ? "-" : " ") + std::to_string(sum < 0 ? -int64_t(sum) : sum) + " ";
    }
};

std::string frame_row(const display_frame& frame, int row) {
    std::string text;
    for (int column = 0; column < screen_columns; ++column) text += char(frame.cells[((row - 1) * screen_columns + column) * 2]);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

TEST(soak, random_keys_at_the_calculator_prompts_then_a_close) {
    run_result r = run_headless(
        run_shell,
        [](run_driver& d) {
            d.wait_for_text("enter your Name: ");
            d.type("soak\r\rCalculator\r");
            if (!d.wait_for_text("give me a number: ")) return;
            random_keys keys(7);
            calculator_answers answers;
            display_frame frame{};
            for (int i = 0; i < shell_key_count; ++i) {
                key_press press = keys.next();
                std::optional<uint8_t> b = byte_of(press, flags().program_paused.load() != 0);
                if (b && answers.would_leave(*b)) continue;
                // One key at a time, so that none is lost to a full buffer.
                wait_until([] { return waiting_key_count() == 0; }, 2s);
                d.press(press);
                if (take_display_frame(frame, 0) &&
                    (frame.cursor_row < 1 || frame.cursor_row > 24 || frame.cursor_column < 1 ||
                     frame.cursor_column > screen_columns)) {
                    d.note("cursor outside the print area");
                }
                if (!b || !answers.take(*b)) continue;
                // The sum of the two accepted numbers, above the exit prompt.
                std::string sum = answers.sum_line();
                bool shown = wait_until(
                    [&] {
                        return take_display_frame(frame, 0) && frame.cursor_row > 1 &&
                               frame_row(frame, frame.cursor_row).rfind("do you want to exit Y/N:", 0) == 0 &&
                               frame_row(frame, frame.cursor_row - 1) + " " == sum;
                    },
                    10s);
                if (!shown) {
                    d.note("no sum line \"" + sum + "\" above the exit prompt");
                    d.capture();
                    break;
                }
            }
            request_close();
        },
        240s);
    ASSERT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.error_output, "");
    EXPECT_TRUE(r.notes.empty()) << r.notes.front();
}

}  // namespace
