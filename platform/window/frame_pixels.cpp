#include "frame_pixels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

#include "cp437_font.h"

namespace {

// The IBM CGA text palette, 0xRRGGBB.
// index:        0 black   1 blue    2 green   3 cyan    4 red     5 magenta 6 brown   7 light grey
//               8 dk grey 9 lt blue 10 lt grn 11 lt cyn 12 lt red 13 lt mag 14 yellow 15 white
constexpr std::array<uint32_t, 16> cga_palette{
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};
static_assert(cga_palette.size() == 16);

constexpr int no_cursor_cell = -1;

// The index, row by row from 0, of the cell in which the picture draws the text
// cursor: its cell when it is drawn and stands on the screen; no_cursor_cell
// otherwise.
int cursor_cell(const display_frame& frame) {
    const bool on_screen = frame.cursor_column >= 1 && frame.cursor_column <= screen_columns &&
                           frame.cursor_row >= 1 && frame.cursor_row <= screen_rows;
    if (!frame.cursor_drawn || !on_screen)
        return no_cursor_cell;
    return (frame.cursor_row - 1) * screen_columns + (frame.cursor_column - 1);
}

}  // namespace

uint32_t text_colour(int index) {
    return cga_palette[std::size_t(index) & 15];
}

void draw_frame(const display_frame& frame, frame_picture& picture) {
    const int cursor_at = cursor_cell(frame);
    for (int row = 0; row < screen_rows; ++row) {
        for (int column = 0; column < screen_columns; ++column) {
            const std::size_t cell = (std::size_t(row) * screen_columns + std::size_t(column)) * 2;
            const glyph_rows& glyph = cp437_glyphs[frame.cells[cell]];
            const uint8_t attribute = frame.cells[cell + 1];
            const uint32_t foreground = text_colour(attribute & 15);
            const uint32_t background = text_colour((attribute >> 4) & 7);
            const bool cursor_here = row * screen_columns + column == cursor_at;
            for (int y = 0; y < glyph_height; ++y) {
                const unsigned bits = cursor_here && y == cursor_pixel_row ? 0xFFu : glyph[std::size_t(y)];
                uint32_t* out = &picture.pixels[std::size_t(row * glyph_height + y) * frame_width +
                                                std::size_t(column * glyph_width)];
                for (int x = 0; x < glyph_width; ++x)
                    out[x] = (bits >> (7 - x)) & 1 ? foreground : background;
            }
        }
    }
}

bool same_picture(const display_frame& a, const display_frame& b) {
    return a.cells == b.cells && cursor_cell(a) == cursor_cell(b);
}

pixel_rect changed_part(const display_frame& before, const display_frame& after) {
    int first_column = screen_columns, last_column = -1, first_row = screen_rows, last_row = -1;
    auto add = [&](int column, int row) {  // 0-based
        first_column = std::min(first_column, column);
        last_column = std::max(last_column, column);
        first_row = std::min(first_row, row);
        last_row = std::max(last_row, row);
    };
    constexpr std::size_t row_bytes = screen_columns * 2;
    for (int row = 0; row < screen_rows; ++row) {
        const uint8_t* a = before.cells.data() + std::size_t(row) * row_bytes;
        const uint8_t* b = after.cells.data() + std::size_t(row) * row_bytes;
        if (std::memcmp(a, b, row_bytes) == 0)
            continue;
        for (int column = 0; column < screen_columns; ++column) {
            if (a[column * 2] != b[column * 2] || a[column * 2 + 1] != b[column * 2 + 1])
                add(column, row);
        }
    }
    const int cursor_before = cursor_cell(before);
    const int cursor_after = cursor_cell(after);
    if (cursor_before != cursor_after) {
        for (int cell : {cursor_before, cursor_after}) {
            if (cell != no_cursor_cell)
                add(cell % screen_columns, cell / screen_columns);
        }
    }
    if (last_column < 0)
        return pixel_rect{};
    return pixel_rect{first_column * glyph_width, first_row * glyph_height,
                      (last_column - first_column + 1) * glyph_width, (last_row - first_row + 1) * glyph_height};
}
