// The window's picture of the text screen: a display frame drawn into 640 x 400
// pixels with the text font and the CGA text colours, and the part of the
// picture that differs between two frames. Pure; no graphics calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display_copy.h"

inline constexpr int frame_width = 640;   // 80 columns of 8 pixels
inline constexpr int frame_height = 400;  // 25 rows of 16 pixels
inline constexpr int cursor_pixel_row = 14;  // the cursor line: the 15th of a cell's 16 rows

// 0xRRGGBB of CGA text colour 0..15 (7 light grey 0xAAAAAA, 0 black).
uint32_t text_colour(int index);

// Invariant: pixels holds frame_width * frame_height colours (0xRRGGBB), row by
// row from the top, each row from the left.
struct frame_picture {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(frame_width * frame_height);

    uint32_t at(int x, int y) const { return pixels[std::size_t(y) * frame_width + std::size_t(x)]; }
};

// Draws every cell: the cell at row r, column c covers x 8(c-1)..8c-1 and
// y 16(r-1)..16r-1; a set font pixel takes the attribute's foreground (bits 0-3),
// a clear one its background (bits 4-6; bit 7, blinking, is not shown). When the
// frame's cursor is drawn and stands on the screen, pixel row 14 of its cell is
// all foreground.
void draw_frame(const display_frame& frame, frame_picture& picture);

// A rectangle of the picture in pixels, from its top left corner.
// Invariant: within the picture; width and height are both 0 (empty) or both
// at least 1.
struct pixel_rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width == 0; }
};

inline constexpr pixel_rect whole_picture{0, 0, frame_width, frame_height};

// True when the two frames give the same picture: the same cells, and the text
// cursor drawn in the same cell or in none (a cursor that is not drawn, or that
// stands off the screen, shows nowhere, wherever it stands).
bool same_picture(const display_frame& a, const display_frame& b);

// The smallest rectangle that covers every cell whose pixels differ between
// the two frames' pictures: the cells whose character or attribute differ, and
// when the cursor moved, appeared or went, the cells it is drawn in in either
// frame. Empty exactly when same_picture holds.
pixel_rect changed_part(const display_frame& before, const display_frame& after);
