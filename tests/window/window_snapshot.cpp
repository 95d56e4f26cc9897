// A look at a running Morvane window from outside, for a machine without a
// screen of its own (the program under xvfb-run, say): waits for the window
// titled "Untitled" on $DISPLAY, prints its 25 rows as text, decoded cell by cell
// against the font (the text cursor as '_', a cell of no printable ASCII glyph
// as '?'), and saves its picture as a PNG file when one is named.
//
// usage: window_snapshot [file.png]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "x_window_probe.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t light_grey = 0xAAAAAA;
constexpr uint32_t black = 0x000000;

bool shows_anything(const window_picture& picture) {
    for (uint32_t pixel : picture.pixels)
        if (pixel != black)
            return true;
    return false;
}

// One row of the screen as text, trailing blanks cut.
std::string row_text(const decoded_screen& screen, int row) {
    std::string text;
    for (int column = 1; column <= 80; ++column) {
        const decoded_cell& cell = screen.cell(row, column);
        char shown = '?';
        for (int byte = 32; byte < 127; ++byte) {
            if (cell.bytes.test(size_t(byte))) {
                shown = char(byte);
                break;
            }
            if (cell.bytes_under_cursor.test(size_t(byte))) {
                shown = byte == ' ' ? '_' : char(byte);
                break;
            }
        }
        text += shown;
    }
    return text.erase(text.find_last_not_of(' ') + 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: window_snapshot [file.png]\n");
        return 2;
    }
    const char* display = std::getenv("DISPLAY");
    x_probe probe;
    if (!probe.display()) {
        std::fprintf(stderr, "window_snapshot: cannot open the X display \"%s\"\n", display ? display : "");
        return 1;
    }
    const Window window = probe.wait_for_window("Untitled", 0, 30s);
    if (!window) {
        std::fprintf(stderr, "window_snapshot: no window titled \"Untitled\" appeared on %s\n", display);
        return 1;
    }
    // The window is black until its first picture is drawn.
    const auto picture = wait_for_picture(probe, window, shows_anything, 10s, 50ms);
    if (!picture) {
        std::fprintf(stderr, "window_snapshot: the window could not be read\n");
        return 1;
    }
    if (picture->width == 640 && picture->height == 400) {
        const decoded_screen screen = decode_screen(*picture, light_grey, black);
        for (int row = 1; row <= 25; ++row)
            std::printf("%s\n", row_text(screen, row).c_str());
    } else
        std::printf("(a full-screen picture of %d x %d: no rows to read)\n", picture->width, picture->height);
    if (argc == 2 && !save_png(*picture, argv[1])) {
        std::fprintf(stderr, "window_snapshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
