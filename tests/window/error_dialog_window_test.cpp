// The error dialog as a user meets it: the shell runs in the real window with an
// error raised inside the greeting, the xmessage box comes up with the dialog's
// title and text, is answered with Return from the keyboard, and the run goes on.
//
// The test program is its own shell: started with `--shell-with-greeting-error`
// it runs the real runtime and window instead of the tests.
#include <gtest/gtest.h>
// After gtest: X11's macros would clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "greeting_error_shell.h"
#include "started_window_test.h"
#include "x_window_probe.h"

namespace {

using namespace std::chrono_literals;

// The program's command line as the window keeps it (WM_COMMAND).
std::vector<std::string> window_command(Display* display, Window window) {
    char** words = nullptr;
    int count = 0;
    std::vector<std::string> command;
    if (XGetCommand(display, window, &words, &count)) {
        command.assign(words, words + count);
        XFreeStringList(words);
    }
    return command;
}

class error_dialog_window : public started_window_test {
protected:
    // Waits until the window shows the rows, the text cursor allowed on any cell;
    // what still differs.
    std::string wait_for_screen(Window window, const screen_rows& expected) {
        return started_window_test::wait_for_screen(window, expected, cursor_over::any_cell);
    }
};

TEST_F(error_dialog_window, dialog_shows_the_error_and_yes_goes_on_with_the_run) {
    const std::string path = this_program();
    const Window window = start_program(path, {greeting_error_argument});
    ASSERT_NE(window, 0u);
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({"enter your Name:"})), "");
    ASSERT_TRUE(send_keys(window, {"B", "o", "Return"}));

    const std::string title = "Unhandled Error #5 - " + file_name(path);
    // xmessage sets no _NET_WM_PID: the box is found by its title alone.
    box = probe->wait_for_window(title, 0, generous);
    ASSERT_NE(box, 0u) << "no box titled \"" << title << "\" appeared";
    EXPECT_EQ(probe->window_title(box), title);
    const std::vector<std::string> command = window_command(probe->display(), box);
    ASSERT_FALSE(command.empty());
    EXPECT_EQ(command.back(), "Line: 13 (in main module)\nIllegal function call\nContinue?");
    const auto option = [&](const std::string& name) {
        for (size_t i = 0; i + 1 < command.size(); ++i) {
            if (command[i] == name) return command[i + 1];
        }
        return std::string();
    };
    EXPECT_EQ(option("-buttons"), "Yes:6,No:7");
    EXPECT_EQ(option("-default"), "Yes");
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(probe->display(), box, &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);

    // While the box waits, the window keeps showing the screen as the error left
    // it: the greeting and its blanks, no name.
    EXPECT_EQ(wait_for_screen(window, screen_with_rows({"enter your Name: Bo", "Welcome to Morvane"})), "");

    ASSERT_TRUE(send_keys(box, {"Return"}));
    EXPECT_EQ(wait_for_screen(window, screen_with_rows({"enter your Name: Bo",
                                                   "Welcome to Morvane          what do you want to do:"})),
              "");
    // xmessage has ended; the X server takes its window down once it sees the
    // connection close.
    const auto end = std::chrono::steady_clock::now() + generous;
    while (probe->find_window(title, 0) != 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(probe->find_window(title, 0), 0u) << "the box is still up after Yes";

    ASSERT_TRUE(send_keys(window, {"c", "d", "Return"}));
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({"enter your Name: Bo",
                                                   "Welcome to Morvane          what do you want to do: cd",
                                                   "cd: ZavadOzididuva, Explorer, Calculator, ZodeZozo, Writer",
                                                   "what Program you want to open:"})),
              "");
    ASSERT_TRUE(send_keys(window, {"x", "Return"}));
    std::vector<std::string> end_screen(24);
    end_screen.push_back("Press any key to continue");
    ASSERT_EQ(wait_for_screen(window, screen_with_rows(end_screen)), "");
    ASSERT_TRUE(send_keys(window, {"space"}));
    EXPECT_EQ(program.wait_for_exit(generous), 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], greeting_error_argument) == 0) run_shell_with_greeting_error(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
