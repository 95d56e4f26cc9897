#include "text_screen.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "error_report.h"
#include "run_flags.h"
#include "screen_lock.h"

uint8_t current_attribute(const text_screen& screen) {
    return static_cast<uint8_t>((screen.background & 7) * 16 + (screen.foreground & 16) * 8 +
                                (screen.foreground & 15));
}

namespace {

uint8_t* cell_at(text_screen& screen, int column, int row) {
    return &screen.cells[((row - 1) * screen_columns + (column - 1)) * 2];
}

void fill_rows(text_screen& screen, int first_row, int last_row) {
    uint8_t attribute = current_attribute(screen);
    for (int row = first_row; row <= last_row; ++row) {
        uint8_t* cell = cell_at(screen, 1, row);
        for (int column = 0; column < screen_columns; ++column) {
            cell[column * 2] = blank_byte;
            cell[column * 2 + 1] = attribute;
        }
    }
}

bool is_control_byte(uint8_t b) {
    return b == 7 || (b >= 9 && b <= 13) || (b >= 28 && b <= 31);
}

// The count of leading bytes, at most limit, that are no control bytes. Every
// control byte is below 32, so eight bytes at a time that are all 32 or more
// are passed at once.
uint32_t plain_run_length(const uint8_t* bytes, uint32_t limit) {
    constexpr uint64_t each_byte = 0x0101010101010101;
    uint32_t count = 0;
    while (count + 8 <= limit) {
        uint64_t eight;
        std::memcpy(&eight, bytes + count, 8);
        // A byte below 32 borrows when 32 is taken from it and had its top bit clear.
        if (((eight - each_byte * 32) & ~eight & each_byte * 0x80) != 0) break;
        count += 8;
    }
    while (count < limit && !is_control_byte(bytes[count])) ++count;
    return count;
}

// Writes count bytes into consecutive cells with the attribute. The text never
// lies within the cells, so the two are taken as apart and the copy vectorised.
void write_cells(uint8_t* __restrict cells, const uint8_t* __restrict bytes, size_t count, uint8_t attribute) {
    for (size_t k = 0; k < count; ++k) {
        cells[k * 2] = bytes[k];
        cells[k * 2 + 1] = attribute;
    }
}

// The bell: the shell's thread waits 250 ms, with the screen free for the display.
void bell_pause() {
    screen_unlock_while([] { std::this_thread::sleep_for(std::chrono::milliseconds(250)); });
}

}  // namespace

void reset_screen(text_screen& screen) {
    screen.foreground = 7;
    screen.background = 0;
    screen.top_row = 1;
    screen.bottom_row = screen_rows - 1;
    screen.cursor_visible = false;
    fill_rows(screen, 1, screen_rows);
    move_cursor(screen, 1, 1, false);
}

void move_cursor(text_screen& screen, int16_t column, int16_t row, bool wrap_pending) {
    screen.cursor_column = column;
    screen.cursor_row = row;
    screen.wrap_pending = wrap_pending && column == screen_columns;
}

uint8_t cell_character(const text_screen& screen, int column, int row) {
    return screen.cells[((row - 1) * screen_columns + (column - 1)) * 2];
}

uint8_t cell_attribute(const text_screen& screen, int column, int row) {
    return screen.cells[((row - 1) * screen_columns + (column - 1)) * 2 + 1];
}

void new_line(text_screen& screen) {
    int16_t row = static_cast<int16_t>(screen.cursor_row + 1);
    if (row > screen.bottom_row) {
        // One block move of the print area's rows, then a blank bottom row.
        int moved_rows = screen.bottom_row - screen.top_row;
        if (moved_rows > 0) {
            std::memmove(cell_at(screen, 1, screen.top_row), cell_at(screen, 1, screen.top_row + 1),
                         static_cast<size_t>(moved_rows) * screen_columns * 2);
        }
        fill_rows(screen, screen.bottom_row, screen.bottom_row);
        row = screen.bottom_row;
    }
    move_cursor(screen, 1, row, false);
}

void print_text(text_screen& screen, const text_value& text, bool end_line) {
    if (error_is_pending()) return;
    uint32_t n = text.length;
    if (screen.wrap_pending) {
        if (n > 0) {
            new_line(screen);
        } else if (end_line) {
            move_cursor(screen, screen.cursor_column, screen.cursor_row, false);
        }
    }
    bool last_byte_wrapped = false;  // the note of the byte looked at last
    const uint8_t attribute = current_attribute(screen);
    const uint8_t* bytes = text.bytes;
    uint32_t i = 0;
    while (i < n) {
        // The plain bytes that land before column 80 go into the cursor's row in
        // one run, the column kept in a register: the cell writes may alias the
        // screen's fields, so the loop does not go through them. No wrap is
        // pending here, so the column is set without move_cursor.
        int column = screen.cursor_column;
        uint8_t* row = cell_at(screen, 1, screen.cursor_row);
        last_byte_wrapped = false;
        uint32_t run = plain_run_length(bytes + i, std::min<uint32_t>(n - i, screen_columns - column));
        write_cells(row + (column - 1) * 2, bytes + i, run, attribute);
        column += static_cast<int>(run);
        i += run;
        screen.cursor_column = static_cast<int16_t>(column);
        if (i == n) break;
        uint8_t b = bytes[i++];
        if (is_control_byte(b)) {
            if (b == 7) bell_pause();
            continue;
        }
        // A byte into column 80: the new row is made now, or owed as a pending wrap
        // when it is the text's last byte and no line end follows.
        row[(screen_columns - 1) * 2] = b;
        row[(screen_columns - 1) * 2 + 1] = attribute;
        if (end_line || i < n) {
            new_line(screen);
            last_byte_wrapped = true;
        } else {
            move_cursor(screen, screen_columns, screen.cursor_row, true);
        }
    }
    if (end_line && !last_byte_wrapped) new_line(screen);
}

namespace {

// Whether an item of this length must start a new row first.
bool item_needs_new_line(const text_screen& screen, const text_value& text) {
    if (screen.wrap_pending) return false;     // the next print starts the new row itself
    if (screen.cursor_column == 1) return false;  // the item starts a row anyway
    return int64_t{screen.cursor_column} + text.length - 1 > screen_columns;
}

}  // namespace

void fit_on_line(text_screen& screen, const text_value& text) {
    if (item_needs_new_line(screen, text)) new_line(screen);
}

void next_print_zone(text_screen& screen) {
    if (screen.wrap_pending) {
        new_line(screen);
        return;
    }
    static const uint8_t blank = blank_byte;
    const text_value one_blank{const_cast<uint8_t*>(&blank), 1, 0, false, true, false};
    for (;;) {
        print_text(screen, one_blank, false);
        int column = screen.cursor_column;
        if (column == 1) break;
        if ((column - 1) % 14 == 0 && column < 68) break;
        if (column >= screen_columns) break;
        // A pending error stops the blanks; nothing can be printed any more.
        if (error_is_pending()) break;
    }
}

void clear_screen(text_screen& screen, int, int, int) {
    if (error_is_pending()) return;
    move_cursor(screen, 1, screen.top_row, false);
    fill_rows(screen, screen.top_row, screen.bottom_row);
    fill_rows(screen, screen_rows, screen_rows);
}

void set_view_print(text_screen& screen, int top, int bottom, bool given) {
    if (error_is_pending()) return;
    if (given) {
        if (top < 1 || top > bottom || bottom > screen_rows) {
            raise_error(illegal_function_call);
            return;
        }
        screen.top_row = static_cast<int16_t>(top);
        screen.bottom_row = static_cast<int16_t>(bottom);
    } else {
        screen.top_row = 1;
        screen.bottom_row = screen_rows;
    }
    move_cursor(screen, 1, screen.top_row, false);
}

text_screen& the_screen() {
    static text_screen* screen = [] {
        auto* s = new text_screen;
        reset_screen(*s);
        return s;
    }();
    return *screen;
}

void print_text(const text_value& text, bool end_line) {
    screen_guard guard;
    print_text(the_screen(), text, end_line);
}
void fit_on_line(const text_value& text) {
    // The shell's thread is the screen's only writer, so it reads the cursor
    // without the lock; only the new row, a write, is made under it.
    if (!item_needs_new_line(the_screen(), text)) return;
    screen_guard guard;
    new_line(the_screen());
}
void next_print_zone() {
    screen_guard guard;
    next_print_zone(the_screen());
}
void clear_screen(int method, int colour, int given) {
    screen_guard guard;
    clear_screen(the_screen(), method, colour, given);
}
void set_view_print(int top, int bottom, bool given) {
    screen_guard guard;
    set_view_print(the_screen(), top, bottom, given);
}
