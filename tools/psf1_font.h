// Reading a PSF1 console font (the Linux console's format) that holds the
// 256 code page 437 glyphs of 8 x 16 pixels, for the font table generator.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using psf1_glyph = std::array<uint8_t, 16>;  // one byte per pixel row, bit 7 leftmost

// Invariant: a font that read_psf1_font accepted: 256 glyphs, and for each glyph
// the Unicode code points that the file's table maps to it (empty without a table).
struct psf1_font {
    std::array<psf1_glyph, 256> glyphs;
    std::array<std::vector<uint32_t>, 256> code_points;
};

// Parses a whole PSF1 file. Returns an empty string on success, otherwise what is
// wrong with it: magic, glyph size, glyph count, length or a malformed table.
std::string read_psf1_font(std::span<const uint8_t> file, psf1_font& font);

// Checks that the font is laid out in code page 437 order: a table is present and
// maps a few landmark bytes to their code page 437 characters, and the bytes 0, 32
// and 255 have empty glyphs. Returns an empty string or the first mismatch.
std::string check_cp437_order(const psf1_font& font);
