// Reading and driving a program's window from outside, as a user would: find it
// on the X display, read its pixels back and decode every 8 x 16 cell against the
// text font, send it keys through xdotool and the window manager's close message.
#pragma once
#include <X11/Xlib.h>
#include <sys/types.h>

#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One connection to the display in $DISPLAY, with X errors recorded instead of
// ending the test. Invariant: display is null only when the display could not be
// opened.
class x_probe {
public:
    x_probe();
    ~x_probe();
    x_probe(const x_probe&) = delete;
    x_probe& operator=(const x_probe&) = delete;

    Display* display() const { return connection; }

    // The top-level window with this title (WM_NAME) whose _NET_WM_PID is pid (any
    // window of the title for pid 0); 0 when there is none.
    Window find_window(const std::string& title, pid_t pid) const;
    // Waits, polling, until find_window finds the window or the time is up.
    Window wait_for_window(const std::string& title, pid_t pid, std::chrono::milliseconds limit) const;

    std::string window_title(Window window) const;
    // Size and position in the root window; nothing when the window is gone.
    struct geometry {
        int x, y, width, height;
    };
    std::optional<geometry> window_geometry(Window window) const;
    geometry screen_size() const;
    // Moves the window's top left corner to the screen's when it is elsewhere:
    // X reads back only the parts of a window that lie on the screen.
    void move_to_origin(Window window) const;
    // The keyboard's lock states: bit 0 Caps Lock, bit 1 Num Lock.
    uint32_t lock_states() const;
    // Asks the window to close, as a window manager does: a WM_PROTOCOLS client
    // message with WM_DELETE_WINDOW.
    void send_close_request(Window window) const;

private:
    Display* connection = nullptr;
};

// A window's pixels as 0xRRGGBB, row by row from the top.
// Invariant: pixels.size() == width * height.
struct window_picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Reads the window's pixels from the window itself (XGetImage); nothing when the
// window is gone or cannot be read.
std::optional<window_picture> capture_window(const x_probe& probe, Window window);

// Polls the window's picture every `interval` until `holds` accepts one or the
// limit runs out; the last picture seen either way.
std::optional<window_picture> wait_for_picture(const x_probe& probe, Window window,
                                               const std::function<bool(const window_picture&)>& holds,
                                               std::chrono::milliseconds limit, std::chrono::milliseconds interval);

// Writes the picture as an 8-bit RGB PNG file, so that a failed look can be seen
// afterwards; false when the file cannot be written.
bool save_png(const window_picture& picture, const std::string& path);

// The part of a picture at (x, y) of the given size, scaled down to width x height
// by taking the pixel nearest each target pixel's centre.
window_picture sample_picture(const window_picture& picture, int x, int y, int part_width, int part_height,
                              int width, int height);

// A cell of the screen, row 1..25 and column 1..80.
struct cell_place {
    int row;
    int column;
};

// One cell read back. `bytes` holds every byte whose glyph the cell shows (several
// bytes share a glyph: 0, 32 and 255 are all empty); `bytes_under_cursor` those
// whose glyph it shows with pixel row 14 drawn over in the foreground, as the
// text cursor draws it. Invariant: both are empty for a cell that holds a colour
// other than the two it was decoded with.
struct decoded_cell {
    std::bitset<256> bytes;
    std::bitset<256> bytes_under_cursor;
};

// A 640 x 400 picture read back as 25 rows of 80 cells in two colours.
// Invariant: cells holds 2000 cells, row by row; stray_pixels counts the pixels
// in neither colour, first_stray_colour is the first of them (when any).
struct decoded_screen {
    std::array<decoded_cell, 2000> cells;
    int stray_pixels = 0;
    uint32_t first_stray_colour = 0;

    const decoded_cell& cell(int row, int column) const { return cells[size_t(row - 1) * 80 + size_t(column - 1)]; }
    // The screen as text, one line per row, a shown byte as itself when printable
    // ASCII, '?' when the cell matches no glyph, '~' for any other byte.
    std::string as_text() const;
};

decoded_screen decode_screen(const window_picture& picture, uint32_t foreground, uint32_t background);

// True when the cell's 8 x 16 pixels are exactly the byte's glyph in the two
// colours, with pixel row 14 all foreground when with_cursor_line is set (the
// text cursor: one pixel line across the cell). A picture smaller than the
// screen shows no cell.
bool cell_shows(const window_picture& picture, cell_place place, uint8_t byte, bool with_cursor_line,
                uint32_t foreground, uint32_t background);

// 25 rows of 80 bytes: the given rows from the top, padded with blanks, and
// blank rows below them.
std::array<std::string, 25> screen_with_rows(const std::vector<std::string>& rows);

// Every cell whose glyph is not that of the expected byte (25 rows of 80 bytes),
// described one per line, at most `limit` of them; empty when all match. The
// cell at `cursor`, when given, may also show its byte with the cursor over it.
std::string screen_mismatches(const decoded_screen& screen, const std::array<std::string, 25>& expected,
                              std::optional<cell_place> cursor = std::nullopt, int limit = 12);
// The same for a screen whose cursor the test does not place: any cell may show
// its byte with the cursor over it.
std::string screen_mismatches_cursor_anywhere(const decoded_screen& screen, const std::array<std::string, 25>& expected,
                                              int limit = 12);

// A child process started with posix_spawn (no shell), with the test's
// environment. Invariant: pid is 0 once the child has been waited for.
class child_process {
public:
    // Starts the program (a path, or a name looked up in $PATH) with the test's
    // environment or the one given, its standard error into the file named, when
    // one is; false when it cannot be started.
    bool start(const std::string& path, const std::vector<std::string>& arguments,
               const std::optional<std::vector<std::string>>& environment = std::nullopt,
               const std::string& error_file = "");
    pid_t id() const { return pid; }
    // The exit code, or -(signal number) after a signal; nothing when the child
    // is still running at the end of the limit.
    std::optional<int> wait_for_exit(std::chrono::milliseconds limit);
    bool running();
    // Kills a child that is still running and reaps it.
    ~child_process();

private:
    pid_t pid = 0;
    std::optional<int> status;
};

// Runs xdotool with these arguments and waits for it; its exit code.
int run_xdotool(const std::vector<std::string>& arguments);

// Gives the window the keyboard focus, then types the keys (xdotool key names,
// such as "alt+Return" or "ctrl+Pause"), `delay_milliseconds` apart. True when
// xdotool succeeded.
bool send_keys(Window window, const std::vector<std::string>& keys, int delay_milliseconds = 40);

// The xdotool key names that type a text of printable ASCII, byte by byte.
std::vector<std::string> keys_for_text(const std::string& text);
