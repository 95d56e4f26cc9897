// The screen as a user should see it during one input, kept apart from the
// runtime's own screen code: the screen as the input found it, then the echo of
// each typed byte, wrapping at column 80 and scrolling the print area.
#pragma once
#include <array>
#include <cstdint>
#include <cstring>

#include "text_screen.h"

struct expected_screen {
    std::array<uint8_t, screen_cell_count * 2> cells{};
    int column = 1;
    int row = 1;
    bool wrap_pending = false;
    int top_row = 1;
    int bottom_row = 24;

    static expected_screen of(const text_screen& screen) {
        expected_screen e;
        e.cells = screen.cells;
        e.column = screen.cursor_column;
        e.row = screen.cursor_row;
        e.wrap_pending = screen.wrap_pending;
        e.top_row = screen.top_row;
        e.bottom_row = screen.bottom_row;
        return e;
    }

    uint8_t* cell(int at_column, int at_row) { return &cells[((at_row - 1) * 80 + (at_column - 1)) * 2]; }

    // Column 1 of the next row; below the print area's last row the area moves up.
    void new_row() {
        column = 1;
        if (++row <= bottom_row) return;
        row = bottom_row;
        std::memmove(cell(1, top_row), cell(1, top_row + 1), size_t(bottom_row - top_row) * 160);
        for (int c = 1; c <= 80; ++c) {
            cell(c, bottom_row)[0] = ' ';
            cell(c, bottom_row)[1] = 0x07;
        }
    }

    void echo(uint8_t b) {
        if (wrap_pending) {
            wrap_pending = false;
            new_row();
        }
        cell(column, row)[0] = b;
        cell(column, row)[1] = 0x07;
        if (column == 80) {
            wrap_pending = true;
        } else {
            ++column;
        }
    }

    // What differs from the runtime's screen, or empty.
    std::string differences(const text_screen& screen) const {
        std::string found;
        if (screen.cursor_column != column || screen.cursor_row != row || screen.wrap_pending != wrap_pending) {
            found += "cursor " + std::to_string(screen.cursor_column) + "," + std::to_string(screen.cursor_row) +
                     (screen.wrap_pending ? " wrap" : "") + ", expected " + std::to_string(column) + "," +
                     std::to_string(row) + (wrap_pending ? " wrap" : "") + "; ";
        }
        for (int i = 0; i < screen_cell_count * 2; ++i) {
            if (screen.cells[i] != cells[i]) {
                found += "cell of row " + std::to_string(i / 160 + 1) + " column " + std::to_string(i % 160 / 2 + 1) +
                         " differs";
                break;
            }
        }
        return found;
    }
};
