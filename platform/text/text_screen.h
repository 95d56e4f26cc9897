// The text screen: 80 x 25 two-byte cells, the cursor, the print area and the
// pending wrap, with the operations that print on it.
#pragma once
#include <array>
#include <cstdint>

#include "text_value.h"

inline constexpr int16_t screen_columns = 80;
inline constexpr int16_t screen_rows = 25;
inline constexpr int screen_cell_count = screen_columns * screen_rows;
inline constexpr uint8_t blank_byte = 32;

// Invariant: top_row <= cursor_row <= bottom_row, 1 <= cursor_column <= 80, and
// wrap_pending is set only with cursor_column == 80. Rows outside top_row..bottom_row
// are never moved or filled by output. wrap_pending is written only by
// move_cursor, so the pending wrap is set and cleared in that one place.
struct text_screen {
    std::array<uint8_t, screen_cell_count * 2> cells;  // character, attribute; row by row
    int16_t cursor_column;   // 1..80
    int16_t cursor_row;      // 1..25
    int16_t top_row;         // first row of the print area (inclusive)
    int16_t bottom_row;      // last row of the print area (inclusive)
    bool wrap_pending;       // the last byte went into column 80; the new row is owed
    bool cursor_visible;     // the display draws the text cursor
    uint8_t foreground;      // 0..31 (16..31 would blink)
    uint8_t background;      // 0..7
};

// The attribute byte of the current colours.
uint8_t current_attribute(const text_screen& screen);

// Every cell blank, cursor at 1,1, print area rows 1..24, colours 7 on 0.
void reset_screen(text_screen& screen);

// Puts the cursor at the column and row and sets or clears the pending wrap with
// it: the only writer of wrap_pending. print_text also moves cursor_column along
// a row itself, for a run of plain bytes that ends before column 80; the wrap is
// never pending there.
void move_cursor(text_screen& screen, int16_t column, int16_t row, bool wrap_pending);

uint8_t cell_character(const text_screen& screen, int column, int row);
uint8_t cell_attribute(const text_screen& screen, int column, int row);

// Output on a given screen (the input's rebuild prints on its scratch screen).
void print_text(text_screen& screen, const text_value& text, bool end_line);
void new_line(text_screen& screen);
void fit_on_line(text_screen& screen, const text_value& text);
void next_print_zone(text_screen& screen);
void clear_screen(text_screen& screen, int method, int colour, int given);
void set_view_print(text_screen& screen, int top, int bottom, bool given);

// The runtime's one text screen, written on the shell's thread only.
text_screen& the_screen();

// The same operations on the runtime's screen, as the shell calls them.
void print_text(const text_value& text, bool end_line);
void fit_on_line(const text_value& text);
void next_print_zone();
void clear_screen(int method, int colour, int given);
void set_view_print(int top, int bottom, bool given);
