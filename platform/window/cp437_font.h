// The text font: the 256 glyphs of code page 437 in the VGA 8 x 16 shapes. The
// table is generated at build time from the console font (tools/make_font_table).
#pragma once
#include <array>
#include <cstdint>

inline constexpr int glyph_width = 8;
inline constexpr int glyph_height = 16;

// One glyph: a byte per pixel row from the top; bit 7 is the leftmost pixel.
using glyph_rows = std::array<uint8_t, glyph_height>;

// Indexed by the character byte.
extern const std::array<glyph_rows, 256> cp437_glyphs;
