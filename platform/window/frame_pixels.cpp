#include "frame_pixels.h"

#include <array>

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

}  // namespace

uint32_t text_colour(int index) {
    return cga_palette[std::size_t(index) & 15];
}

void draw_frame(const display_frame& frame, frame_picture& picture) {
    const bool cursor_in_range = frame.cursor_column >= 1 && frame.cursor_column <= screen_columns &&
                                 frame.cursor_row >= 1 && frame.cursor_row <= screen_rows;
    for (int row = 0; row < screen_rows; ++row) {
        for (int column = 0; column < screen_columns; ++column) {
            const std::size_t cell = (std::size_t(row) * screen_columns + std::size_t(column)) * 2;
            const glyph_rows& glyph = cp437_glyphs[frame.cells[cell]];
            const uint8_t attribute = frame.cells[cell + 1];
            const uint32_t foreground = text_colour(attribute & 15);
            const uint32_t background = text_colour((attribute >> 4) & 7);
            const bool cursor_here = frame.cursor_drawn && cursor_in_range &&
                                     frame.cursor_row - 1 == row && frame.cursor_column - 1 == column;
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
