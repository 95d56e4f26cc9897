// Whole runs without a window: each run in a child process of its own, driven
// through the same key-down entry as the window, read from the display copy.
#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console_runtime.h"
#include "key_down.h"

// The 25 rows of a screen, 80 bytes each.
using screen_rows_text = std::vector<std::string>;

// What the child's driver can do; it runs on the child's initial thread, where the
// window's event loop would run.
class run_driver {
public:
    // One key-down, as the window would hand it over.
    void press(const key_press& press);
    // Each byte as a character key-down, waiting (bounded) for room in the key
    // buffer first; a time-out fails the test (fail()).
    void type(const std::string& bytes);
    // Waits (bounded) until the newest display frame satisfies the condition;
    // returns false on time-out.
    bool wait_for(const std::function<bool(const screen_rows_text&)>& condition,
                  std::chrono::milliseconds limit = std::chrono::milliseconds(10000));
    // Waits until some row holds the text (from column 1 when at_start).
    bool wait_for_text(const std::string& text, std::chrono::milliseconds limit = std::chrono::milliseconds(10000));
    // Waits (bounded) until the key buffer is empty and four display frames in a
    // row agree; a time-out fails the test (fail()).
    void settle();
    // Sends the newest display frame's rows to the parent.
    void capture();
    // From now until the process ends: sends the text screen as it stands now,
    // then each change of it and each new display frame. A run that does not end
    // meets run_headless's limit.
    [[noreturn]] void capture_until_exit();
    // Waits (bounded) for a display frame published after this call: the screen
    // as it stands now, not as an older pass found it. Nothing on time-out.
    std::optional<screen_rows_text> next_screen(std::chrono::milliseconds limit = std::chrono::milliseconds(10000));
    // Sends the next_screen() rows to the parent; false on time-out.
    bool capture_next_frame(std::chrono::milliseconds limit = std::chrono::milliseconds(10000));
    // The newest display frame's rows.
    screen_rows_text screen();
    // Writes a note the parent gets with the captures (for a failed wait).
    void note(const std::string& text);
    // A fault the parent reports as a failure of the test that ran the child,
    // with the rows of the newest display frame.
    void fail(const std::string& text);
};

struct run_result {
    int exit_code = -1;       // the child's exit code, or -1 when it was killed or died
    bool timed_out = false;
    std::vector<screen_rows_text> captures;
    std::vector<std::string> notes;
    std::string error_output;  // what the child wrote on standard error
};

// Runs the routine in a child process with the driver in place of the window.
// The child is killed after the limit. Each fail() of the driver is added to the
// calling test as a failure.
run_result run_headless(shell_routine routine, const std::function<void(run_driver&)>& drive,
                        std::chrono::milliseconds limit = std::chrono::milliseconds(20000),
                        const std::function<void()>& before_start = {});

// Row r (1..25) of a screen with the trailing blanks cut.
std::string row_text(const screen_rows_text& screen, int row);
// A row written as text, padded with blanks to 80 bytes.
std::string padded(const std::string& text);
