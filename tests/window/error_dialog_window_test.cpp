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
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "console_runtime.h"
#include "error_report.h"
#include "glut_window.h"
#include "run_shell.h"
#include "statements.h"
#include "x_display_test.h"
#include "x_window_probe.h"

namespace {

using namespace std::chrono_literals;

constexpr char shell_argument[] = "--shell-with-greeting-error";
constexpr uint32_t light_grey = 0xAAAAAA;
constexpr uint32_t black = 0x000000;
constexpr auto generous = 30s;

// Error 5 at the greeting's second read, after the name has been copied.
[[noreturn]] void run_shell_with_greeting_error(int argc, char** argv) {
    error_point_hook = [](uint32_t statement_number) {
        static int greeting_reads = 0;
        if (statement_number == 13 && ++greeting_reads == 2) raise_error(illegal_function_call);
    };
    glut_window window;
    run_console(argc, argv, run_shell, window);
}

std::string this_program() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, size_t(length)) : std::string();
}

std::string file_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

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

class error_dialog_window : public x_display_test {
protected:
    // Waits until the window shows the rows, the text cursor allowed on any cell;
    // what still differs.
    std::string wait_for_screen(Window window, const std::array<std::string, 25>& expected) {
        std::string differences = "the window could not be read";
        wait_for_picture(*probe, window, [&](const window_picture& picture) {
            const decoded_screen screen = decode_screen(picture, light_grey, black);
            differences.clear();
            for (int row = 1; row <= 25; ++row) {
                for (int column = 1; column <= 80; ++column) {
                    const uint8_t wanted = uint8_t(expected[size_t(row - 1)][size_t(column - 1)]);
                    const decoded_cell& cell = screen.cell(row, column);
                    if (!cell.bytes.test(wanted) && !cell.bytes_under_cursor.test(wanted)) {
                        differences += "row " + std::to_string(row) + " column " + std::to_string(column) + "\n";
                    }
                }
            }
            if (differences.empty()) return true;
            differences += "the window shows:\n" + screen.as_text();
            return false;
        }, generous, 50ms);
        return differences;
    }

    // A box left up by a failed test is taken down through the X server, which
    // ends its client; the shell itself is ended by child_process.
    void TearDown() override {
        if (probe && probe->display() && dialog && probe->window_geometry(dialog)) {
            XKillClient(probe->display(), dialog);
            XSync(probe->display(), False);
        }
        x_display_test::TearDown();
    }

    child_process shell;
    Window dialog = 0;
};

TEST_F(error_dialog_window, dialog_shows_the_error_and_yes_goes_on_with_the_run) {
    const std::string program = this_program();
    ASSERT_TRUE(shell.start(program, {shell_argument}));
    const Window window = probe->wait_for_window("Untitled", shell.id(), generous);
    ASSERT_NE(window, 0u) << "the shell's window did not appear";
    probe->move_to_origin(window);
    ASSERT_EQ(wait_for_screen(window, screen_with_rows({"enter your Name:"})), "");
    ASSERT_TRUE(send_keys(window, {"B", "o", "Return"}));

    const std::string title = "Unhandled Error #5 - " + file_name(program);
    // xmessage sets no _NET_WM_PID: the box is found by its title alone.
    dialog = probe->wait_for_window(title, 0, generous);
    ASSERT_NE(dialog, 0u) << "no box titled \"" << title << "\" appeared";
    EXPECT_EQ(probe->window_title(dialog), title);
    const std::vector<std::string> command = window_command(probe->display(), dialog);
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
    ASSERT_TRUE(XGetWindowAttributes(probe->display(), dialog, &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);

    // While the box waits, the window keeps showing the screen as the error left
    // it: the greeting and its blanks, no name.
    EXPECT_EQ(wait_for_screen(window, screen_with_rows({"enter your Name: Bo", "Welcome to Morvane"})), "");

    ASSERT_TRUE(send_keys(dialog, {"Return"}));
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
    EXPECT_EQ(shell.wait_for_exit(generous), 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], shell_argument) == 0) run_shell_with_greeting_error(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
