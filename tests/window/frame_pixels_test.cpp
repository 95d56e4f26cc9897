// The picture that the window shows, drawn from a display frame without GL, and
// the part of it that changes from one frame to the next.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "frame_pixels.h"

namespace {

constexpr uint32_t black = 0x000000;
constexpr uint32_t light_grey = 0xAAAAAA;

display_frame blank_frame() {
    display_frame frame{};
    for (int cell = 0; cell < screen_cell_count; ++cell) {
        frame.cells[size_t(cell) * 2] = blank_byte;
        frame.cells[size_t(cell) * 2 + 1] = 0x07;
    }
    frame.cursor_column = 1;
    frame.cursor_row = 1;
    frame.serial = 1;
    return frame;
}

void put_cell(display_frame& frame, int row, int column, uint8_t character, uint8_t attribute) {
    const size_t at = (size_t(row - 1) * screen_columns + size_t(column - 1)) * 2;
    frame.cells[at] = character;
    frame.cells[at + 1] = attribute;
}

bool inside_cell(int x, int y, int row, int column) {
    return x >= 8 * (column - 1) && x <= 8 * column - 1 && y >= 16 * (row - 1) && y <= 16 * row - 1;
}

// Draws the frame over a picture full of a colour that no cell uses, so every
// pixel must be drawn; describes the pixels that differ from `expected(x, y)`,
// empty when none does.
template <typename expected_colour>
std::string wrong_pixels(const display_frame& frame, expected_colour expected) {
    frame_picture picture;
    std::fill(picture.pixels.begin(), picture.pixels.end(), 0x123456u);
    draw_frame(frame, picture);
    int wrong = 0;
    char first[96] = "";
    for (int y = 0; y < frame_height; ++y)
        for (int x = 0; x < frame_width; ++x)
            if (picture.at(x, y) != expected(x, y) && wrong++ == 0)
                std::snprintf(first, sizeof first, ", the first (%d,%d) is %06X, not %06X", x, y, picture.at(x, y),
                              expected(x, y));
    return wrong == 0 ? "" : std::to_string(wrong) + " pixels differ" + first;
}

}  // namespace

TEST(frame_pixels, palette_is_the_cga_text_palette) {
    const uint32_t cga[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                              0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                              0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
    for (int index = 0; index < 16; ++index)
        EXPECT_EQ(text_colour(index), cga[index]) << "colour " << index;
}

TEST(frame_pixels, blank_screen_is_black_everywhere) {
    EXPECT_EQ(wrong_pixels(blank_frame(), [](int, int) { return black; }), "");
}

// A full block (0xDB) in one cell lights exactly that cell's 8 x 16 pixels, in the
// attribute's foreground colour; the cell's place is checked at the corners and
// in the middle of the screen.
TEST(frame_pixels, full_block_covers_exactly_its_cell) {
    struct cell_case {
        int row, column;
        uint8_t attribute;
        uint32_t colour;
    };
    const cell_case cases[] = {
        {1, 1, 0x07, light_grey}, {1, 80, 0x0E, 0xFFFF55}, {25, 1, 0x09, 0x5555FF},
        {25, 80, 0x0F, 0xFFFFFF}, {13, 41, 0x04, 0xAA0000},
    };
    for (const cell_case& c : cases) {
        display_frame frame = blank_frame();
        put_cell(frame, c.row, c.column, 0xDB, c.attribute);
        EXPECT_EQ(wrong_pixels(frame, [&](int x, int y) { return inside_cell(x, y, c.row, c.column) ? c.colour : black; }),
                  "")
            << "row " << c.row << " column " << c.column;
    }
}

// Half blocks fix the glyph's orientation: 0xDD is the left half, 0xDE the right
// half; set pixels take the foreground (bits 0-3) and clear ones the background
// (bits 4-6); bit 7 (blinking) changes no colour.
TEST(frame_pixels, glyph_bits_run_left_to_right_in_attribute_colours) {
    struct glyph_case {
        uint8_t character;
        uint8_t attribute;
        bool left_lit;
        uint32_t foreground, background;
    };
    const glyph_case cases[] = {
        {0xDD, 0x1E, true, 0xFFFF55, 0x0000AA},
        {0xDE, 0x1E, false, 0xFFFF55, 0x0000AA},
        {0xDD, 0x70, true, 0x000000, 0xAAAAAA},
        {0xDD, 0xC2, true, 0x00AA00, 0xAA0000},  // blinking red background shows as red
    };
    for (const glyph_case& c : cases) {
        display_frame frame = blank_frame();
        put_cell(frame, 2, 3, c.character, c.attribute);
        const auto expected = [&](int x, int y) {
            if (!inside_cell(x, y, 2, 3))
                return black;
            const bool left_half = x - 16 < 4;
            return left_half == c.left_lit ? c.foreground : c.background;
        };
        EXPECT_EQ(wrong_pixels(frame, expected), "") << "byte " << int(c.character) << " attribute " << int(c.attribute);
    }
}

// The cursor is pixel row 14 of its cell across all 8 pixels in the cell's
// foreground colour; without cursor_drawn nothing of it shows.
TEST(frame_pixels, cursor_is_one_foreground_row_in_its_cell) {
    struct cursor_case {
        int row, column;
        bool drawn;
    };
    const cursor_case cases[] = {{1, 1, true}, {24, 80, true}, {25, 1, true}, {7, 33, false}};
    for (const cursor_case& c : cases) {
        display_frame frame = blank_frame();
        put_cell(frame, c.row, c.column, blank_byte, 0x1E);  // yellow on blue
        frame.cursor_row = int16_t(c.row);
        frame.cursor_column = int16_t(c.column);
        frame.cursor_drawn = c.drawn;
        const auto expected = [&](int x, int y) {
            if (!inside_cell(x, y, c.row, c.column))
                return black;
            return c.drawn && y == 16 * (c.row - 1) + 14 ? 0xFFFF55u : 0x0000AAu;
        };
        EXPECT_EQ(wrong_pixels(frame, expected), "") << "cursor at row " << c.row << " column " << c.column;
    }
}

namespace {

// A rectangle as text, for readable failures.
std::string described(const pixel_rect& rect) {
    return "x " + std::to_string(rect.x) + " y " + std::to_string(rect.y) + " width " + std::to_string(rect.width) +
           " height " + std::to_string(rect.height);
}

// The pixels of one cell.
pixel_rect cell_pixels(int row, int column) { return pixel_rect{8 * (column - 1), 16 * (row - 1), 8, 16}; }

// The pixels that differ between the pictures of two frames and lie outside
// the rectangle, described; empty when there are none.
std::string changes_outside(const display_frame& before, const display_frame& after, const pixel_rect& rect) {
    frame_picture old_picture, new_picture;
    draw_frame(before, old_picture);
    draw_frame(after, new_picture);
    int outside = 0;
    std::string first;
    for (int y = 0; y < frame_height; ++y)
        for (int x = 0; x < frame_width; ++x) {
            const bool inside = x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height;
            if (!inside && old_picture.at(x, y) != new_picture.at(x, y) && outside++ == 0)
                first = " the first at (" + std::to_string(x) + "," + std::to_string(y) + ")";
        }
    return outside == 0 ? "" : std::to_string(outside) + " changed pixels outside the part," + first;
}

// Where a frame's cursor stands and whether it is drawn.
struct cursor_at {
    int row, column;
    bool drawn;
};

void place_cursor(display_frame& frame, cursor_at cursor) {
    frame.cursor_row = int16_t(cursor.row);
    frame.cursor_column = int16_t(cursor.column);
    frame.cursor_drawn = cursor.drawn;
}

}  // namespace

// The part of the picture that the window redraws after a new frame: exactly
// the cells that changed, the cursor's old and new cell when it moved, nothing
// for a cursor that shows nowhere; empty exactly when the two frames give the
// same picture. Every pixel that does change lies inside it.
TEST(frame_comparison, changed_part_spans_exactly_the_cells_that_look_different) {
    struct printed_cell {
        int row, column;
        uint8_t character, attribute;
    };
    struct change_case {
        const char* name;
        std::vector<printed_cell> printed;  // into the second frame
        cursor_at cursor_before, cursor_after;
        pixel_rect expected;
    };
    constexpr cursor_at hidden{1, 1, false};  // as in a blank frame
    const change_case cases[] = {
        {"no change", {}, hidden, hidden, pixel_rect{}},
        {"one character in the middle", {{13, 41, 'A', 0x07}}, hidden, hidden, cell_pixels(13, 41)},
        {"one attribute alone, top left", {{1, 1, blank_byte, 0x70}}, hidden, hidden, cell_pixels(1, 1)},
        {"one character, bottom right", {{25, 80, 'z', 0x07}}, hidden, hidden, cell_pixels(25, 80)},
        {"top right and bottom left corners", {{1, 80, 'a', 0x07}, {25, 1, 'b', 0x07}}, hidden, hidden, whole_picture},
        {"two cells span rows 2 to 5 and columns 3 to 10", {{2, 10, 'a', 0x07}, {5, 3, 'b', 0x07}}, hidden, hidden,
         pixel_rect{16, 16, 64, 64}},
        {"drawn cursor moved one column", {}, {3, 5, true}, {3, 6, true}, pixel_rect{32, 32, 16, 16}},
        {"drawn cursor moved to the next row's start", {}, {3, 80, true}, {4, 1, true}, pixel_rect{0, 32, 640, 32}},
        {"cursor appears", {}, {7, 33, false}, {7, 33, true}, cell_pixels(7, 33)},
        {"cursor goes", {}, {7, 33, true}, {7, 33, false}, cell_pixels(7, 33)},
        {"cursor moved and a cell printed", {{1, 18, 'B', 0x07}}, {1, 18, true}, {1, 19, true},
         pixel_rect{136, 0, 16, 16}},
        {"cursor not drawn moved", {}, {2, 2, false}, {20, 70, false}, pixel_rect{}},
        {"drawn cursor off the screen, column 0, appears", {}, {5, 0, false}, {5, 0, true}, pixel_rect{}},
        {"drawn cursor moves between column 81 and row 26", {}, {5, 81, true}, {26, 1, true}, pixel_rect{}},
        {"drawn cursor moves from row 0 onto the screen", {}, {0, 9, true}, {1, 9, true}, cell_pixels(1, 9)},
    };
    for (const change_case& c : cases) {
        SCOPED_TRACE(c.name);
        display_frame before = blank_frame();
        display_frame after = blank_frame();
        for (const printed_cell& cell : c.printed)
            put_cell(after, cell.row, cell.column, cell.character, cell.attribute);
        place_cursor(before, c.cursor_before);
        place_cursor(after, c.cursor_after);
        const pixel_rect part = changed_part(before, after);
        EXPECT_EQ(described(part), described(c.expected));
        EXPECT_EQ(part.empty(), c.expected.width == 0);
        EXPECT_EQ(same_picture(before, after), c.expected.width == 0);
        EXPECT_EQ(changes_outside(before, after, part), "");
    }
}

// The cursor's place matters to the picture only while the cursor is drawn.
TEST(frame_comparison, same_picture_ignores_the_place_of_a_cursor_not_drawn) {
    struct cursor_pair {
        bool drawn_before, drawn_after;
        int column_after;
        bool same;
    };
    const cursor_pair pairs[] = {
        {false, false, 40, true},  // moved, never drawn
        {true, true, 10, true},    // drawn in the same cell
        {true, true, 40, false},   // drawn, moved
        {false, true, 10, false},  // appears in place
        {true, false, 40, false},  // goes while moving
    };
    for (const cursor_pair& p : pairs) {
        display_frame before = blank_frame();
        display_frame after = blank_frame();
        place_cursor(before, {12, 10, p.drawn_before});
        place_cursor(after, {12, p.column_after, p.drawn_after});
        EXPECT_EQ(same_picture(before, after), p.same)
            << "drawn " << p.drawn_before << " then " << p.drawn_after << ", column 10 then " << p.column_after;
    }
}
