// The fixture of the tests that start a program with a window of its own: the
// program is started under $DISPLAY with its standard error kept in a file, its
// window found by title and pid and moved to the screen's top left corner; then
// the test waits for what the window shows, polling within a generous bound.
#pragma once
#include <gtest/gtest.h>
// After gtest: X11's macros would clash with its names.
#include <X11/Xlib.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "x_display_test.h"
#include "x_window_probe.h"

// The two colours of the window's text screen.
inline constexpr uint32_t light_grey = 0xAAAAAA;
inline constexpr uint32_t black = 0x000000;

// This test program's own path: the programs that run as their own program under
// test start themselves.
inline std::string this_program() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, size_t(length)) : std::string();
}

// What follows a path's last '/'.
inline std::string file_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// Where the text cursor may be drawn over the screen a test waits for.
enum class cursor_over {
    no_cell,   // every cell shows its byte alone
    any_cell,  // any cell may show its byte with the cursor line, as the cursor blinks
};

class started_window_test : public x_display_test {
protected:
    using screen_rows = std::array<std::string, 25>;
    using picture_test = std::function<bool(const window_picture&)>;

    // Bounds on every wait, generous enough for sanitizer builds on a busy machine.
    static constexpr std::chrono::seconds generous{30};

    // Starts the program and returns its window titled "Untitled", moved to the
    // screen's top left corner; 0, with a failure, when the program cannot be
    // started or no window of its pid appears.
    Window start_program(const std::string& path, const std::vector<std::string>& arguments = {}) {
        if (!program.start(path, arguments, std::nullopt, error_file)) {
            ADD_FAILURE() << "cannot start " << path;
            return 0;
        }
        const Window window = probe->wait_for_window("Untitled", program.id(), generous);
        if (!window) {
            ADD_FAILURE() << "no window titled \"Untitled\" of process " << program.id() << " appeared";
            return 0;
        }
        probe->move_to_origin(window);
        return window;
    }

    // Polls the window's picture until `holds` accepts one; the last picture seen
    // when the time runs out (nothing when none could be read).
    std::optional<window_picture> wait_for_picture(Window window, const picture_test& holds) {
        return ::wait_for_picture(*probe, window, holds, generous, std::chrono::milliseconds(20));
    }

    // Waits until the picture stays the same over four looks in a row, a quarter
    // of a second apart (longer than the text cursor's blink); that picture, or
    // nothing when it kept changing until the time ran out.
    std::optional<window_picture> wait_for_still_picture(Window window) {
        std::optional<window_picture> previous;
        int same_looks = 0;
        const auto last = wait_for_picture(window, [&](const window_picture& picture) {
            same_looks = previous && previous->pixels == picture.pixels ? same_looks + 1 : 0;
            previous = picture;
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            return same_looks >= 4;
        });
        return same_looks >= 4 ? last : std::nullopt;
    }

    // Waits until the picture differs from `before`; false when it never does.
    bool wait_for_change(Window window, const window_picture& before) {
        const auto moved = wait_for_picture(window, [&](const window_picture& picture) {
            return picture.pixels != before.pixels;
        });
        return moved && moved->pixels != before.pixels;
    }

    // Waits until the window shows the screen, light grey on black, with the
    // text cursor where `cursor` allows it; what still differs when it never
    // does, with the window's text and its last picture saved for a look.
    std::string wait_for_screen(Window window, const screen_rows& expected,
                                cursor_over cursor = cursor_over::no_cell) {
        std::string differences = "the window could not be read\n";
        const auto last = wait_for_picture(window, [&](const window_picture& picture) {
            const decoded_screen screen = decode_screen(picture, light_grey, black);
            differences = cursor == cursor_over::any_cell ? screen_mismatches_cursor_anywhere(screen, expected)
                                                          : screen_mismatches(screen, expected);
            if (differences.empty())
                return true;
            differences += "the window shows:\n" + screen.as_text();
            return false;
        });
        if (!differences.empty() && last)
            differences += saved_for_a_look(*last);
        return differences;
    }

    // Saves the picture as a PNG file named after the test; a line that names
    // the file, or nothing when it cannot be written.
    std::string saved_for_a_look(const window_picture& picture) const {
        const std::string path = ::testing::TempDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 "_last_picture_" + std::to_string(getpid()) + ".png";
        return save_png(picture, path) ? "last picture: " + path + "\n" : "";
    }

    // Ends the program with the window manager's close message; its exit code.
    std::optional<int> close_and_wait(Window window) {
        probe->send_close_request(window);
        return program.wait_for_exit(generous);
    }

    // What the program has written on standard error so far.
    std::string error_output() const {
        std::ifstream errors(error_file);
        std::stringstream text;
        text << errors.rdbuf();
        return text.str();
    }

    // A box left up by a failed test is taken down through the X server, which
    // ends its client; the program itself is ended by child_process. A failed
    // test shows what the program wrote on standard error.
    void TearDown() override {
        if (probe && probe->display() && box && probe->window_geometry(box)) {
            XKillClient(probe->display(), box);
            XSync(probe->display(), False);
        }
        if (HasFailure()) {
            const std::string told = error_output();
            if (!told.empty())
                std::fprintf(stderr, "the program's standard error:\n%s", told.c_str());
        }
        std::remove(error_file.c_str());
        x_display_test::TearDown();
    }

    child_process program;
    // The program's standard error.
    const std::string error_file = ::testing::TempDir() + "started_program_stderr_" + std::to_string(getpid()) + ".txt";
    // A message box of the program's that the test has found (xmessage, a client
    // of its own), or 0.
    Window box = 0;
};
