#include "psf1_font.h"

#include <cstdio>

namespace {

constexpr uint8_t psf1_magic0 = 0x36;
constexpr uint8_t psf1_magic1 = 0x04;
constexpr uint8_t psf1_mode_512 = 0x01;     // 512 glyphs instead of 256
constexpr uint8_t psf1_mode_has_table = 0x02;
constexpr uint8_t psf1_mode_has_seq = 0x04; // table entries may hold sequences
constexpr size_t header_size = 4;
constexpr size_t glyph_bytes = 16;
constexpr uint16_t table_separator = 0xFFFF;  // ends one glyph's entries
constexpr uint16_t sequence_start = 0xFFFE;   // the rest of this glyph's entries are sequences

std::string hex_text(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// Landmarks of code page 437: byte, the Unicode character it shows.
// Control-range symbols, an ASCII letter, accented letters, box drawing, Greek, maths.
struct cp437_landmark {
    uint8_t byte;
    uint32_t code_point;
};
constexpr std::array<cp437_landmark, 10> cp437_landmarks{{
    {0x01, 0x263A},  // white smiling face
    {0x03, 0x2665},  // black heart suit
    {0x41, 0x0041},  // A
    {0x7F, 0x2302},  // house
    {0x81, 0x00FC},  // u with diaeresis
    {0x94, 0x00F6},  // o with diaeresis
    {0xC9, 0x2554},  // box drawings double down and right
    {0xDB, 0x2588},  // full block
    {0xE0, 0x03B1},  // alpha
    {0xF6, 0x00F7},  // division sign
}};
constexpr std::array<uint8_t, 3> empty_glyph_bytes{0x00, 0x20, 0xFF};

}  // namespace

std::string read_psf1_font(std::span<const uint8_t> file, psf1_font& font) {
    if (file.size() < header_size || file[0] != psf1_magic0 || file[1] != psf1_magic1)
        return "not a PSF1 font (magic 36 04 missing)";
    const uint8_t mode = file[2];
    const uint8_t char_size = file[3];
    if (char_size != glyph_bytes)
        return "glyphs are " + std::to_string(char_size) + " bytes high, not 16";
    if (mode & psf1_mode_512)
        return "font holds 512 glyphs, not 256";
    const size_t glyph_end = header_size + 256 * glyph_bytes;
    if (file.size() < glyph_end)
        return "file ends inside the glyphs";
    for (size_t g = 0; g < 256; ++g)
        for (size_t row = 0; row < glyph_bytes; ++row)
            font.glyphs[g][row] = file[header_size + g * glyph_bytes + row];
    for (auto& points : font.code_points)
        points.clear();
    if (!(mode & (psf1_mode_has_table | psf1_mode_has_seq)))
        return "";

    // The table: for each glyph, 16-bit little-endian code points up to 0xFFFF;
    // code points after a 0xFFFE are sequences (combining forms) and are skipped.
    size_t at = glyph_end;
    for (size_t g = 0; g < 256; ++g) {
        bool in_sequences = false;
        for (;;) {
            if (at + 2 > file.size())
                return "file ends inside the Unicode table at glyph " + hex_text(unsigned(g));
            const uint16_t value = uint16_t(file[at] | (file[at + 1] << 8));
            at += 2;
            if (value == table_separator)
                break;
            if (value == sequence_start)
                in_sequences = true;
            else if (!in_sequences)
                font.code_points[g].push_back(value);
        }
    }
    return "";
}

std::string check_cp437_order(const psf1_font& font) {
    bool has_table = false;
    for (const auto& points : font.code_points)
        has_table = has_table || !points.empty();
    if (!has_table)
        return "font has no Unicode table to check its order against";
    for (const cp437_landmark& landmark : cp437_landmarks) {
        bool found = false;
        for (uint32_t point : font.code_points[landmark.byte])
            found = found || point == landmark.code_point;
        if (!found)
            return "glyph " + hex_text(landmark.byte) + " is not U+" +
                   hex_text(landmark.code_point).substr(2) + " as in code page 437";
    }
    for (uint8_t byte : empty_glyph_bytes)
        for (uint8_t row : font.glyphs[byte])
            if (row != 0)
                return "glyph " + hex_text(byte) + " is not empty";
    return "";
}
