// The window as a user meets it: window_fixture is started under $DISPLAY, its
// window found by title and pid, its pixels read back and every cell decoded
// against the font; keys arrive through xdotool, the close request as the window
// manager's message. scripts/test provides the X server; these tests start none.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <sstream>
#include <thread>

#include "display_layout.h"
#include "fixture_screen.h"
#include "started_window_test.h"
#include "x_window_probe.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

std::string hex_colour(uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", colour);
    return text;
}

class window_test : public started_window_test {
protected:
    // Starts window_fixture in the given mode and returns its window.
    Window start_fixture(const char* mode) { return start_program(WINDOW_FIXTURE_PATH, {mode}); }

    // How many of the fixture's lines on standard error are "window_fixture: "
    // followed by the text.
    int fixture_told(const std::string& text) const {
        std::istringstream errors(error_output());
        int count = 0;
        for (std::string line; std::getline(errors, line);)
            count += line == "window_fixture: " + text ? 1 : 0;
        return count;
    }

    // Waits until the fixture has said the text at least `times` times in all.
    bool wait_until_told(const std::string& text, int times = 1) {
        const auto end = std::chrono::steady_clock::now() + generous;
        while (fixture_told(text) < times) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }
};

const std::array<std::string, 25>& still_screen() {
    static const std::array<std::string, 25> screen = screen_after_lines(still_screen_lines());
    return screen;
}

TEST_F(window_test, shows_the_printed_screen_cell_by_cell_in_two_colours) {
    const Window window = start_fixture("still");
    ASSERT_NE(window, 0u);
    EXPECT_EQ(probe->window_title(window), "Untitled");
    const auto geometry = probe->window_geometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 640);
    EXPECT_EQ(geometry->height, 400);

    const std::string differences = wait_for_screen(window, still_screen());
    EXPECT_EQ(differences, "");
    const auto picture = capture_window(*probe, window);
    ASSERT_TRUE(picture);
    const decoded_screen screen = decode_screen(*picture, light_grey, black);
    EXPECT_EQ(screen.stray_pixels, 0) << "first colour other than light grey and black: "
                                      << hex_colour(screen.first_stray_colour);

    EXPECT_EQ(close_and_wait(window), 0);
}

// The close request must not take the window down: the held fixture parks only
// when the test lets it go, and until the process ends the window is still there
// showing its picture.
TEST_F(window_test, close_request_leaves_the_window_up_until_the_process_ends) {
    const Window window = start_fixture("held");
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_screen(window, still_screen()), "");

    probe->send_close_request(window);
    ASSERT_TRUE(wait_until_told("stop requested")) << "the close request did not reach the run";
    const auto picture = capture_window(*probe, window);
    ASSERT_TRUE(picture) << "the window is gone after the close request";
    EXPECT_EQ(screen_mismatches(decode_screen(*picture, light_grey, black), still_screen()), "");

    ::kill(program.id(), SIGUSR1);
    EXPECT_EQ(program.wait_for_exit(generous), 0);
}

// Ctrl+Break, Ctrl+Scroll Lock and Alt+F4 each end the run at once.
TEST_F(window_test, run_ending_keys_end_the_process_with_code_0) {
    for (const char* key : {"ctrl+Pause", "ctrl+Scroll_Lock", "alt+F4"}) {
        SCOPED_TRACE(key);
        const Window window = start_fixture("still");
        ASSERT_NE(window, 0u);
        ASSERT_EQ(wait_for_screen(window, still_screen()), "");
        ASSERT_TRUE(send_keys(window, {key}));
        EXPECT_EQ(program.wait_for_exit(generous), 0);
    }
}

// Pause and Ctrl+Num Lock both come as key presses on the window's own X
// connection. The counting fixture keeps printing while paused, so
// the picture stands still only because the window presents no new frame; the
// next key lets it move again.
TEST_F(window_test, pause_holds_the_picture_until_the_next_key) {
    struct pause_case {
        const char* pause_key;
        const char* next_key;
    };
    for (const pause_case& c : {pause_case{"Pause", "shift"}, pause_case{"ctrl+Num_Lock", "a"}}) {
        SCOPED_TRACE(c.pause_key);
        const Window window = start_fixture("counting");
        ASSERT_NE(window, 0u);
        const auto counting = wait_for_picture(window, [](const window_picture& picture) {
            return decode_screen(picture, light_grey, black).as_text().find("count ") != std::string::npos;
        });
        ASSERT_TRUE(counting);

        ASSERT_TRUE(send_keys(window, {c.pause_key}));
        ASSERT_TRUE(wait_until_told("paused")) << "the run did not pause";
        // Still over four looks in a row once the run is paused: a frame the
        // window took just before the pause may still be drawn.
        const auto still = wait_for_still_picture(window);
        ASSERT_TRUE(still) << "the picture kept changing while paused";
        // The fixture goes on printing: two more reports of 20 counts mean that
        // at least 20 were printed after the still picture was read.
        ASSERT_TRUE(wait_until_told("printed while paused", fixture_told("printed while paused") + 2));
        const auto later = capture_window(*probe, window);
        ASSERT_TRUE(later);
        EXPECT_TRUE(later->pixels == still->pixels) << "the picture changed while paused";

        ASSERT_TRUE(send_keys(window, {c.next_key}));
        ASSERT_TRUE(wait_until_told("running")) << "the pause did not end after " << c.next_key;
        EXPECT_TRUE(wait_for_change(window, *still)) << "the picture stayed still after " << c.next_key;

        EXPECT_EQ(close_and_wait(window), 0);
    }
}

// Typed keys reach the line editor as the key table reads them: letters in their
// case, Ctrl+C as the code 3 (a heart when echoed), the Delete key as an extended
// key that the line editor drops. The text cursor blinks after the answer at the
// prompt.
TEST_F(window_test, typed_keys_reach_the_answer_and_the_cursor_blinks_after_it) {
    const Window window = start_fixture("typing");
    ASSERT_NE(window, 0u);
    auto cursor_drawn_at = [&](const std::array<std::string, 25>& expected, cell_place cursor) {
        return [&, expected, cursor](const window_picture& picture) {
            const decoded_screen screen = decode_screen(picture, light_grey, black);
            const decoded_cell& cell = screen.cell(cursor.row, cursor.column);
            return screen_mismatches(screen, expected, cursor).empty() && !cell.bytes.test(' ') &&
                   cell.bytes_under_cursor.test(' ');
        };
    };

    const auto prompt = screen_with_rows({"type: "});
    auto shown = wait_for_picture(window, cursor_drawn_at(prompt, {1, 7}));
    ASSERT_TRUE(shown && cursor_drawn_at(prompt, {1, 7})(*shown)) << "no cursor after the prompt";
    ASSERT_EQ(wait_for_screen(window, prompt), "") << "the cursor does not blink";

    ASSERT_TRUE(send_keys(window, {"H", "i", "ctrl+c", "Delete"}));
    const auto typed = screen_with_rows({"type: Hi\x03"});
    shown = wait_for_picture(window, cursor_drawn_at(typed, {1, 10}));
    ASSERT_TRUE(shown && cursor_drawn_at(typed, {1, 10})(*shown))
        << screen_mismatches(decode_screen(*shown, light_grey, black), typed, cell_place{1, 10});

    ASSERT_TRUE(send_keys(window, {"Return"}));
    EXPECT_EQ(wait_for_screen(window, screen_with_rows({"type: Hi\x03", "Hi\x03"})), "");

    EXPECT_EQ(close_and_wait(window), 0);
}

// With no X display to open, the program says so on standard error and ends with
// code 1 instead of a window.
TEST_F(window_test, without_a_display_it_says_so_and_exits_with_code_1) {
    struct display_case {
        const char* display;  // nullptr: DISPLAY not set
        const char* message;
    };
    const display_case cases[] = {
        {nullptr, "morvane: cannot open the window: no X display (DISPLAY is not set)"},
        {":4095", "morvane: cannot open the window: cannot open the X display \":4095\""},
    };
    for (const display_case& c : cases) {
        SCOPED_TRACE(c.display ? c.display : "DISPLAY not set");
        std::vector<std::string> environment;
        for (char** variable = environ; *variable; ++variable)
            if (std::strncmp(*variable, "DISPLAY=", 8) != 0)
                environment.push_back(*variable);
        if (c.display)
            environment.push_back(std::string("DISPLAY=") + c.display);
        ASSERT_TRUE(program.start(WINDOW_FIXTURE_PATH, {"still"}, environment, error_file));
        EXPECT_EQ(program.wait_for_exit(generous), 1);
        const std::string told = error_output();
        EXPECT_NE(told.find(c.message), std::string::npos) << "standard error: " << told;
    }
}

// Alt+Enter steps windowed -> stretched -> stretched smooth -> aspect kept ->
// aspect kept smooth -> windowed. The sharp modes still show every cell when the
// picture is sampled back down to 640 x 400; the smooth ones blend colours.
TEST_F(window_test, alt_enter_steps_through_the_display_modes_and_back) {
    const Window window = start_fixture("still");
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_screen(window, still_screen()), "");
    const x_probe::geometry screen = probe->screen_size();

    auto shows_screen_in_place = [&](const window_picture& picture, display_mode mode) {
        const picture_place place = place_picture(mode, picture.width, picture.height);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const bool inside = x >= place.x && x < place.x + place.width && y >= place.y &&
                                    y < place.y + place.height;
                if (!inside && picture.at(x, y) != black)
                    return false;
            }
        const window_picture sampled =
            sample_picture(picture, place.x, place.y, place.width, place.height, 640, 400);
        const decoded_screen decoded = decode_screen(sampled, light_grey, black);
        return decoded.stray_pixels == 0 && screen_mismatches(decoded, still_screen()).empty();
    };
    auto is_full_screen_size = [&](const window_picture& picture) {
        return picture.width == screen.width && picture.height == screen.height;
    };
    auto blends_colours = [&](const window_picture& picture) {
        return decode_screen(picture, light_grey, black).stray_pixels > 0;
    };
    struct mode_step {
        const char* name;
        std::function<bool(const window_picture&)> shows;
    };
    const mode_step steps[] = {
        {"stretched",
         [&](const window_picture& p) { return is_full_screen_size(p) && shows_screen_in_place(p, display_mode::stretched); }},
        {"stretched smooth", [&](const window_picture& p) { return is_full_screen_size(p) && blends_colours(p); }},
        {"aspect kept",
         [&](const window_picture& p) { return is_full_screen_size(p) && shows_screen_in_place(p, display_mode::aspect_kept); }},
        {"aspect kept smooth", [&](const window_picture& p) { return is_full_screen_size(p) && blends_colours(p); }},
        {"windowed",
         [&](const window_picture& p) {
             return p.width == 640 && p.height == 400 && shows_screen_in_place(p, display_mode::windowed);
         }},
    };
    for (const mode_step& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_TRUE(send_keys(window, {"alt+Return"}));
        const auto picture = wait_for_picture(window, step.shows);
        ASSERT_TRUE(picture && step.shows(*picture))
            << "last picture " << (picture ? std::to_string(picture->width) + "x" + std::to_string(picture->height) : "none");
    }
    const auto geometry = probe->window_geometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);

    EXPECT_EQ(close_and_wait(window), 0);
}

}  // namespace
