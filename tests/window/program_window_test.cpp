// The real program as a user meets it: build/morvane is started under $DISPLAY,
// answered from the keyboard through xdotool and ended by a key, a run-ending
// key, the window manager's close message or the loss of its X connection,
// while its window is read back from its pixels and every cell decoded against
// the font. scripts/test provides the X server; these tests start none.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "started_window_test.h"
#include "x_window_probe.h"

namespace {

using namespace std::chrono_literals;

const std::string name_prompt = "enter your Name: ";
const std::string command_prompt = "what do you want to do: ";
const std::string program_prompt = "what Program you want to open: ";
const std::string program_list = "cd: ZavadOzididuva, Explorer, Calculator, ZodeZozo, Writer";
const std::string end_line = "Press any key to continue";
const std::string prank_loop_line = "youareanidiot hahahahahahah!";

// The greeting of a name that fits on its row: the name in the third print zone,
// from column 29.
std::string greeting(const std::string& name) { return "Welcome to Morvane" + std::string(10, ' ') + name; }

// The keys that type each answer and end it with Enter.
std::vector<std::string> answers(std::initializer_list<std::string> texts) {
    std::vector<std::string> keys;
    for (const std::string& text : texts) {
        const std::vector<std::string> typed = keys_for_text(text);
        keys.insert(keys.end(), typed.begin(), typed.end());
        keys.push_back("Return");
    }
    return keys;
}

// What the window should show: the screen, and the cell of the text cursor while
// an input waits for its answer. Without a cursor cell no cell may show it.
struct expected_view {
    std::array<std::string, 25> screen;
    std::optional<cell_place> cursor;
};

// The rows as given from the top, blank rows below them, and the cursor (if any).
expected_view view_of(const std::vector<std::string>& rows, std::optional<cell_place> cursor = std::nullopt) {
    return expected_view{screen_with_rows(rows), cursor};
}

// The end of a run: rows 1 to 24 as given, the end line alone on row 25.
expected_view view_at_end(std::vector<std::string> rows) {
    rows.resize(24);
    rows.push_back(end_line);
    return view_of(rows);
}

// An input waiting on the last of the rows, its cursor right after that row's text.
expected_view view_waiting(const std::vector<std::string>& rows) {
    return view_of(rows, cell_place{int(rows.size()), int(rows.back().size()) + 1});
}

// What differs between the picture and the view, the cursor cell allowed to show
// its byte with or without the cursor line; empty when nothing does.
std::string differences(const window_picture& picture, const expected_view& view) {
    const decoded_screen screen = decode_screen(picture, light_grey, black);
    std::string report = screen_mismatches(screen, view.screen, view.cursor);
    if (screen.stray_pixels != 0) {
        char line[96];
        std::snprintf(line, sizeof line, "%d pixels neither light grey nor black, the first 0x%06X\n",
                      screen.stray_pixels, screen.first_stray_colour);
        report += line;
    }
    if (!report.empty())
        report += "the window shows " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                  ":\n" + screen.as_text();
    return report;
}

// True when the cursor cell of the view shows its byte with the cursor's one
// pixel line on pixel row 14, and nothing else differs.
bool shows_cursor_line(const window_picture& picture, const expected_view& view) {
    const cell_place at = *view.cursor;
    const uint8_t byte = uint8_t(view.screen[size_t(at.row - 1)][size_t(at.column - 1)]);
    return cell_shows(picture, at, byte, true, light_grey, black) && differences(picture, view).empty();
}

class program_window_test : public started_window_test {
protected:
    // Starts the program and returns its window.
    Window start_program() { return started_window_test::start_program(MORVANE_PROGRAM_PATH); }

    // Waits until the window shows the view, with the cursor line drawn at its
    // cursor cell in one of the pictures when the view has one (the cursor
    // blinks, so it is off in half of them). What still differs, with the last
    // picture saved as a PNG file for a look, when it never does.
    std::string wait_for_view(Window window, const expected_view& view) {
        const auto last = wait_for_picture(window, [&](const window_picture& picture) {
            return view.cursor ? shows_cursor_line(picture, view) : differences(picture, view).empty();
        });
        if (!last)
            return "the window could not be read";
        if (view.cursor ? shows_cursor_line(*last, view) : differences(*last, view).empty())
            return "";
        std::string report = differences(*last, view);
        if (report.empty())
            report = "no picture shows the cursor line at row " + std::to_string(view.cursor->row) + " column " +
                     std::to_string(view.cursor->column) + "\n";
        return report + saved_for_a_look(*last);
    }

    // Types the keys and waits for the view that they lead to.
    std::string type_and_wait(Window window, const std::vector<std::string>& keys, const expected_view& view) {
        if (!send_keys(window, keys))
            return "xdotool failed";
        return wait_for_view(window, view);
    }

    // Expects the program to end with code 0 and nothing on standard error,
    // reading the window until it goes away: `differs` must find nothing in
    // every picture read meanwhile.
    void expect_clean_exit(Window window, const std::function<std::string(const window_picture&)>& differs) {
        const auto end = std::chrono::steady_clock::now() + generous;
        int pictures = 0;
        while (program.running() && std::chrono::steady_clock::now() < end) {
            if (auto picture = capture_window(*probe, window)) {
                ++pictures;
                const std::string report = differs(*picture);
                if (!report.empty()) {
                    ADD_FAILURE() << "picture " << pictures << " before the end differs:\n" << report;
                    break;
                }
            }
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_EQ(program.wait_for_exit(generous), 0);
        EXPECT_EQ(error_output(), "");
    }

    void expect_clean_exit(Window window, const expected_view& view) {
        expect_clean_exit(window, [&](const window_picture& picture) { return differences(picture, view); });
    }
};

// The name prompt's line editing as the window shows it: each key echoed after
// the prompt with the cursor line after the answer, Backspace taking the last
// byte back, a comma refused wherever it is typed.
TEST_F(program_window_test, name_prompt_echoes_edits_and_refuses_the_comma) {
    const Window window = start_program();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(probe->window_title(window), "Untitled");
    const auto geometry = probe->window_geometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 640);
    EXPECT_EQ(geometry->height, 400);

    const expected_view prompt = view_waiting({name_prompt});
    ASSERT_EQ(wait_for_view(window, prompt), "");

    // The cursor blinks: some pictures show its line at column 18, others the
    // blank cell, none anything else.
    int with_line = 0, without_line = 0;
    std::string wrong_picture;
    wait_for_picture(window, [&](const window_picture& picture) {
        wrong_picture = differences(picture, prompt);
        (cell_shows(picture, {1, 18}, ' ', true, light_grey, black) ? with_line : without_line) += 1;
        return !wrong_picture.empty() || (with_line >= 2 && without_line >= 2);
    });
    EXPECT_EQ(wrong_picture, "");
    EXPECT_TRUE(with_line >= 2 && without_line >= 2)
        << with_line << " pictures with the cursor line, " << without_line << " without";

    struct edit_step {
        std::vector<std::string> keys;
        std::string answer_line;  // shown after the prompt
    };
    const edit_step steps[] = {
        {{"BackSpace"}, ""},  // nothing to take back
        {{"A", "n", "n", "x"}, "Annx"},
        {{"BackSpace"}, "Ann"},
        {{"comma", "a"}, "Anna"},
    };
    for (const edit_step& step : steps) {
        SCOPED_TRACE(step.answer_line);
        ASSERT_EQ(type_and_wait(window, step.keys, view_waiting({name_prompt + step.answer_line})), "");
    }

    // A comma as the last key before Enter: had it stayed, row 1 would show it.
    ASSERT_EQ(type_and_wait(window, {"comma", "Return"},
                            view_waiting({name_prompt + "Anna", greeting("Anna"), command_prompt})),
              "");

    probe->send_close_request(window);
    expect_clean_exit(window, view_waiting({name_prompt + "Anna", greeting("Anna"), command_prompt}));
}

// A name, Enter, c, d and Enter typed at once as the window appears are read by
// the first two prompts in the order typed.
TEST_F(program_window_test, keys_typed_ahead_answer_the_prompts_in_order) {
    const Window window = start_program();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(send_keys(window, answers({"Bo", "cd"}), 0));
    const expected_view asked =
        view_waiting({name_prompt + "Bo", greeting("Bo"), command_prompt + "cd", program_list, program_prompt});
    ASSERT_EQ(wait_for_view(window, asked), "");

    probe->send_close_request(window);
    expect_clean_exit(window, asked);
}

// A whole run through the dialogue: the greeting, the list after "cd", a program
// name that matches none, the cleared screen with the end line alone on row 25,
// and a key that ends the process with code 0.
TEST_F(program_window_test, unknown_program_ends_on_row_25_and_a_key_exits_with_0) {
    const Window window = start_program();
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_view(window, view_waiting({name_prompt})), "");

    struct dialogue_step {
        const char* answer;
        expected_view shown;
    };
    const dialogue_step steps[] = {
        {"Bo", view_waiting({name_prompt + "Bo", greeting("Bo"), command_prompt})},
        {"cd", view_waiting({name_prompt + "Bo", greeting("Bo"), command_prompt + "cd", program_list, program_prompt})},
        {"Paint", view_at_end({})},
    };
    for (const dialogue_step& step : steps) {
        SCOPED_TRACE(step.answer);
        ASSERT_EQ(type_and_wait(window, answers({step.answer}), step.shown), "");
    }
    // The end line waits for its key.
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(program.running()) << "the run ended before a key was pressed";

    ASSERT_TRUE(send_keys(window, {"x"}));
    expect_clean_exit(window, view_at_end({}));
}

// The close request and the keys that end the run at once, while the name is
// typed: the process ends with code 0, and until it does the window shows the
// unfinished name, no greeting and no end line.
TEST_F(program_window_test, stopped_at_the_name_prompt_exits_with_0_and_shows_nothing_more) {
    struct stop_case {
        const char* name;
        std::function<void(x_probe&, Window)> stop;
    };
    const stop_case stops[] = {
        {"close request", [](x_probe& probe, Window window) { probe.send_close_request(window); }},
        {"Ctrl+Break", [](x_probe&, Window window) { EXPECT_TRUE(send_keys(window, {"ctrl+Pause"})); }},
        {"Alt+F4", [](x_probe&, Window window) { EXPECT_TRUE(send_keys(window, {"alt+F4"})); }},
    };
    for (const stop_case& c : stops) {
        SCOPED_TRACE(c.name);
        const Window window = start_program();
        ASSERT_NE(window, 0u);
        const expected_view typing = view_waiting({name_prompt + "Bo"});
        ASSERT_EQ(type_and_wait(window, keys_for_text("Bo"), typing), "");
        c.stop(*probe, window);
        expect_clean_exit(window, typing);
    }
}

// Pause while the name is typed: the window presents no new frame, so even the
// cursor stops blinking; the next key only ends the pause and is lost to the
// answer; the key after it is typed as usual.
TEST_F(program_window_test, pause_at_the_name_prompt_holds_the_picture_and_swallows_the_next_key) {
    const Window window = start_program();
    ASSERT_NE(window, 0u);
    ASSERT_EQ(type_and_wait(window, {"A"}, view_waiting({name_prompt + "A"})), "");

    ASSERT_TRUE(send_keys(window, {"Pause"}));
    // Still over four looks in a row, longer than the cursor's blink, then still
    // a second later.
    const auto still = wait_for_still_picture(window);
    ASSERT_TRUE(still) << "the picture kept changing after Pause";
    EXPECT_EQ(differences(*still, view_waiting({name_prompt + "A"})), "");
    std::this_thread::sleep_for(1s);
    const auto later = capture_window(*probe, window);
    ASSERT_TRUE(later);
    EXPECT_TRUE(later->pixels == still->pixels) << "the picture changed while paused";

    ASSERT_TRUE(send_keys(window, {"b"}));
    ASSERT_TRUE(wait_for_change(window, *still)) << "the picture stayed still after the pause ended";
    const expected_view greeted = view_waiting({name_prompt + "Ac", greeting("Ac"), command_prompt});
    ASSERT_EQ(type_and_wait(window, answers({"c"}), greeted), "");

    probe->send_close_request(window);
    expect_clean_exit(window, greeted);
}

// Alt+Enter five times while the name is typed steps the window through the four
// full-screen modes and back to a 640 x 400 window; the answer line neither
// gains a byte nor ends.
TEST_F(program_window_test, alt_enter_five_times_at_an_input_returns_to_the_window_and_leaves_the_line) {
    const Window window = start_program();
    ASSERT_NE(window, 0u);
    const expected_view typing = view_waiting({name_prompt + "Bo"});
    ASSERT_EQ(type_and_wait(window, keys_for_text("Bo"), typing), "");

    const x_probe::geometry screen = probe->screen_size();
    for (int press = 1; press <= 5; ++press) {
        SCOPED_TRACE("Alt+Enter " + std::to_string(press));
        const int width = press < 5 ? screen.width : 640;
        const int height = press < 5 ? screen.height : 400;
        ASSERT_TRUE(send_keys(window, {"alt+Return"}));
        const auto picture = wait_for_picture(window, [&](const window_picture& p) {
            return p.width == width && p.height == height;
        });
        ASSERT_TRUE(picture && picture->width == width && picture->height == height)
            << "last picture " << (picture ? std::to_string(picture->width) + "x" + std::to_string(picture->height)
                                           : "none");
    }
    ASSERT_EQ(wait_for_view(window, typing), "");
    const auto geometry = probe->window_geometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 640);
    EXPECT_EQ(geometry->height, 400);

    const expected_view greeted = view_waiting({name_prompt + "Bo", greeting("Bo"), command_prompt});
    ASSERT_EQ(type_and_wait(window, {"Return"}, greeted), "");
    probe->send_close_request(window);
    expect_clean_exit(window, greeted);
}

// One Calculator turn, 2 and 3 with their sum on row 3, left with "Y"; then the
// end line, and a key that ends the process with code 0.
TEST_F(program_window_test, calculator_sums_two_numbers_and_y_ends_the_run) {
    const Window window = start_program();
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_view(window, view_waiting({name_prompt})), "");
    const std::string first = "give me a number: ";
    const std::string second = "give me another number: ";
    const std::string exit_question = "do you want to exit Y/N: ";
    ASSERT_EQ(type_and_wait(window, answers({"Bo", "", "Calculator"}), view_waiting({first})), "");

    struct calculator_step {
        const char* answer;
        expected_view shown;
    };
    const calculator_step steps[] = {
        {"2", view_waiting({first + "2", second})},
        {"3", view_waiting({first + "2", second + "3", " 5 ", exit_question})},
        {"Y", view_at_end({first + "2", second + "3", " 5 ", exit_question + "Y"})},
    };
    for (const calculator_step& step : steps) {
        SCOPED_TRACE(step.answer);
        ASSERT_EQ(type_and_wait(window, answers({step.answer}), step.shown), "");
    }
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(program.running()) << "the run ended before a key was pressed";

    ASSERT_TRUE(send_keys(window, {"space"}));
    expect_clean_exit(window, view_at_end({first + "2", second + "3", " 5 ", exit_question + "Y"}));
}

// The prank page prints its loop line without end: rows 1 to 24 fill with it
// while row 25 stays blank, and only the close request ends the run, with code 0
// and no end line.
TEST_F(program_window_test, prank_page_fills_rows_1_to_24_until_the_close_request) {
    const Window window = start_program();
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_view(window, view_waiting({name_prompt})), "");
    ASSERT_TRUE(send_keys(window, answers({"Bo", "", "ZodeZozo"})));
    ASSERT_EQ(wait_for_view(window, view_waiting({"about:blank", "wich Website you want to open: "})), "");
    ASSERT_TRUE(send_keys(window, answers({"youareanidiot.org"})));

    const expected_view filled = view_of(std::vector<std::string>(24, prank_loop_line));
    ASSERT_EQ(wait_for_view(window, filled), "");
    // Between two copies row 24 is blank: the last copy's line end has scrolled
    // the print area and the next copy is not printed yet.
    expected_view between = filled;
    between.screen[23] = std::string(80, ' ');
    auto loop_differences = [&](const window_picture& picture) {
        return differences(picture, filled).empty() ? std::string() : differences(picture, between);
    };

    // The loop goes on and never reaches the end line: row 25 stays blank.
    for (int look = 0; look < 10; ++look) {
        const auto picture = capture_window(*probe, window);
        ASSERT_TRUE(picture);
        EXPECT_EQ(loop_differences(*picture), "");
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(program.running());

    probe->send_close_request(window);
    expect_clean_exit(window, loop_differences);
}

// The X server drops the program's connection, as xkill does to the client
// that made the window: the run ends at once with exit code 1 and one line on
// standard error, whatever the shell was doing.
TEST_F(program_window_test, lost_x_connection_ends_the_run_with_one_line_and_exit_code_1) {
    const Window window = start_program();
    ASSERT_NE(window, 0u);
    ASSERT_EQ(type_and_wait(window, keys_for_text("Bo"), view_waiting({name_prompt + "Bo"})), "");

    XKillClient(probe->display(), window);
    XSync(probe->display(), False);
    EXPECT_EQ(program.wait_for_exit(generous), 1);
    EXPECT_EQ(error_output(), "morvane: the connection to the X display was lost\n");
}

}  // namespace
