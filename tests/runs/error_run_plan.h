// Whole runs with an error raised inside a chosen statement and every message box
// recorded instead of shown. The plan is set in the child before start-up; the
// recorder writes each box as one line on standard error, which the parent reads
// back from run_result::error_output.
#pragma once
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "error_report.h"
#include "fault_injection.h"
#include "headless_run.h"
#include "key_down.h"
#include "message_box.h"
#include "poll_until.h"
#include "run_flags.h"
#include "run_shell.h"
#include "statement_check.h"
#include "statements.h"

namespace error_runs {

// What a child run raises, where, and how its boxes are answered.
struct error_plan {
    uint32_t statement = 0;        // the statement whose error point raises (0: none)
    int turn = 1;                  // at the statement's turn-th error point
    std::vector<int32_t> numbers;  // raised there, in order
    enum class then { nothing, close_window, arithmetic_signal } after = then::nothing;
    box_answer answer = box_answer::yes;  // the recorder's answer to a Yes/No box
    std::optional<storage_kind> fault;    // its next allocation fails, forced before start-up
    bool capture_at_box = false;          // the driver captures the screen a Yes/No box finds
    bool close_at_box = false;            // the window is closed while a Yes/No box is up
    bool record_checks = false;           // every statement check is written on standard error
};

// A box as the recorder saw it.
struct recorded_box {
    bool yes_no = false;
    bool system_modal = false;
    std::string title;
    std::string text;
};

inline error_plan& planned() {
    static error_plan plan;
    return plan;
}

// The thread that raised the planned arithmetic exception (0 before), so that the
// recorder can tell whether a box is shown on it or on another thread.
inline std::atomic<pid_t> signalled_thread{0};

// Shell thread: closes the window and waits (bounded) until the main-loop thread
// has answered with the stop request and event_pending.
inline void close_and_wait_for_the_stop() {
    request_close();
    poll_until([] { return stop_is_requested() && flags().event_pending.load(std::memory_order_acquire) != 0; });
}

// Shell thread: the error point of every statement.
inline void raise_planned_errors(uint32_t statement_number) {
    static int points_seen = 0;
    const error_plan& plan = planned();
    if (statement_number != plan.statement || ++points_seen != plan.turn) return;
    for (int32_t number : plan.numbers) raise_error(number);
    // The statement then ends and its check meets both the error and the stop.
    if (plan.after == error_plan::then::close_window) close_and_wait_for_the_stop();
    if (plan.after == error_plan::then::arithmetic_signal) {
        signalled_thread.store(::gettid());
        std::raise(SIGFPE);
        // The handler parks the thread for good: this line is never reached.
        const char returned[] = "returned from the arithmetic-exception handler\n";
        (void)::write(STDERR_FILENO, returned, sizeof returned - 1);
    }
}

// The recorder's request for a capture of the screen as a Yes/No box finds it,
// for runs that end by themselves: a run may end right after the answer, before
// the driver's next look. THREADING: the recorder (shell's thread) stores
// wanted and waits for captured; the driver stores captured once it has sent a
// frame published after it saw the request.
enum class box_capture : int { none, wanted, captured };

inline std::atomic<int>& box_capture_state() {
    static std::atomic<int> state{int(box_capture::none)};
    return state;
}

// Shell thread, while a Yes/No box is up: the screen cannot change until the
// answer, so the driver's capture shows it as the box found it.
inline void wait_for_the_capture_at_the_box() {
    box_capture_state().store(int(box_capture::wanted), std::memory_order_release);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (box_capture_state().load(std::memory_order_acquire) != int(box_capture::captured) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A line built in fixed storage: the recorder also shows the out-of-memory boxes.
struct box_line {
    char bytes[4096];
    size_t length = 0;
    void add(char c) {
        if (length < sizeof bytes) bytes[length++] = c;
    }
    void add(const char* text) {
        for (const char* at = text; *at != '\0'; ++at) add(*at);
    }
    void add_escaped(const char* text) {
        for (const char* at = text; *at != '\0'; ++at) {
            if (*at == '\n') add("\\n");
            else if (*at == '\\') add("\\\\");
            else add(*at);
        }
    }
};

// The box's line: "box", buttons, modality, title and text, tab-separated.
inline box_answer record_box(const message_box& box) {
    const bool yes_no = box.buttons == box_buttons::yes_no;
    box_line line;
    line.add("box\t");
    line.add(yes_no ? "yes_no" : "ok");
    line.add('\t');
    line.add(box.system_modal ? "modal" : "modeless");
    line.add('\t');
    line.add_escaped(box.title);
    line.add('\t');
    line.add_escaped(box.text);
    line.add('\n');
    if (const pid_t raised_on = signalled_thread.load(); raised_on != 0)
        line.add(raised_on == ::gettid() ? "shown by\tthe signalled thread\n" : "shown by\tanother thread\n");
    // One write: the driver's thread may write to standard error too.
    (void)::write(STDERR_FILENO, line.bytes, line.length);
    if (!yes_no) return box_answer::ok;
    if (planned().capture_at_box) wait_for_the_capture_at_the_box();
    if (planned().close_at_box) close_and_wait_for_the_stop();
    return planned().answer;
}

inline constexpr char check_line_start[] = "check\t";

// Shell thread: writes a line of check_line_start and the statement number for
// every statement check. Once a stop is requested, every statement frame is made
// to check, so the list ends with the check that parked the shell.
inline void record_check(uint32_t statement_number) {
    char line[32];
    const int length = std::snprintf(line, sizeof line, "%s%u\n", check_line_start, statement_number);
    (void)::write(STDERR_FILENO, line, size_t(length));
    if (stop_is_requested()) flags().event_pending.store(1, std::memory_order_release);
}

// The statement numbers of the checks recorded in a child's standard error, in order.
inline std::vector<uint32_t> checks_of(const run_result& result) {
    std::vector<uint32_t> checks;
    std::istringstream lines(result.error_output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(check_line_start, 0) == 0)
            checks.push_back(uint32_t(std::stoul(line.substr(sizeof check_line_start - 1))));
    }
    return checks;
}

inline std::string unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            out += text[i + 1] == 'n' ? '\n' : text[i + 1];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The boxes recorded in a child's standard error, in order.
inline std::vector<recorded_box> boxes_of(const run_result& result) {
    std::vector<recorded_box> boxes;
    std::istringstream lines(result.error_output);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, '\t')) fields.push_back(field);
        if (fields.size() != 5 || fields[0] != "box") continue;
        boxes.push_back({fields[1] == "yes_no", fields[2] == "modal", unescaped(fields[3]), unescaped(fields[4])});
    }
    return boxes;
}

// One prompt and the line typed at it.
struct answer_step {
    std::string prompt;
    std::string reply;
};

inline std::string trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// True when the last row that holds anything ends with the prompt, so that a
// prompt seen on an earlier turn of a loop does not count.
inline bool prompt_is_waiting(const screen_rows_text& rows, const std::string& prompt) {
    const std::string wanted = trimmed(prompt);
    for (int row = 24; row >= 1; --row) {
        const std::string shown = trimmed(rows[row - 1]);
        if (shown.empty()) continue;
        return shown.size() >= wanted.size() && shown.compare(shown.size() - wanted.size(), wanted.size(), wanted) == 0;
    }
    return false;
}

inline const std::string end_line = "Press any key to continue";

enum class run_ending {
    at_end_line,  // the run reaches the end-of-run prompt, is captured there and ended with a key
    by_itself,    // the process ends without a key; the screen is captured until it does,
                  // and as a Yes/No box finds it (see screen_at_the_box)
};

inline const std::string box_capture_note = "screen at the box: capture ";

// The capture taken while the Yes/No box was up, in a run that ended by itself;
// null when there was none.
inline const screen_rows_text* screen_at_the_box(const run_result& result) {
    for (const std::string& note : result.notes) {
        if (note.rfind(box_capture_note, 0) != 0) continue;
        const size_t index = std::stoul(note.substr(box_capture_note.size()));
        return index < result.captures.size() ? &result.captures[index] : nullptr;
    }
    return nullptr;
}

// Runs the shell with the plan: at each step the driver waits for the prompt, captures
// the screen and types the reply.
inline run_result run_with_plan(const error_plan& plan, const std::vector<answer_step>& steps,
                                run_ending ending = run_ending::at_end_line) {
    error_plan child_plan = plan;
    child_plan.capture_at_box = ending == run_ending::by_itself;
    return run_headless(
        run_shell,
        [&](run_driver& d) {
            size_t captures = 0;
            for (const answer_step& step : steps) {
                if (!d.wait_for([&](const screen_rows_text& rows) { return prompt_is_waiting(rows, step.prompt); })) {
                    d.note("no prompt: " + step.prompt);
                    request_close();  // end the child now; the checks then show what went wrong
                    return;
                }
                d.settle();
                d.capture();
                ++captures;
                d.type(step.reply + "\r");
            }
            if (ending == run_ending::by_itself) {
                for (int look = 0;; ++look) {
                    if (box_capture_state().load(std::memory_order_acquire) == int(box_capture::wanted)) {
                        if (d.capture_next_frame()) d.note(box_capture_note + std::to_string(captures++));
                        box_capture_state().store(int(box_capture::captured), std::memory_order_release);
                    }
                    if (look % 10 == 0) {
                        d.capture();
                        ++captures;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
            }
            if (!d.wait_for([](const screen_rows_text& rows) { return trimmed(rows[24]) == end_line; })) {
                request_close();
                return;
            }
            d.settle();
            d.capture();
            d.type("x");
        },
        std::chrono::milliseconds(30000),
        [child_plan] {
            planned() = child_plan;
            set_message_box_shower(record_box);
            error_point_hook = raise_planned_errors;
            if (child_plan.record_checks) statement_check_observer = record_check;
            if (child_plan.fault) inject_fault(*child_plan.fault);
        });
}

// The dialogue's three prompts.
inline const std::string name_prompt = "enter your Name: ";
inline const std::string command_prompt = "what do you want to do: ";
inline const std::string program_prompt = "what Program you want to open: ";

}  // namespace error_runs
