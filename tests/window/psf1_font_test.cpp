// The font generator's reading of PSF1 files: it takes a code page 437 font and
// refuses files that would give a wrong glyph table.
#include <gtest/gtest.h>

#include <vector>

#include "psf1_font.h"

namespace {

// A small PSF1 font with a Unicode table that maps every glyph to its code page
// 437 landmark where it has one, else to U+E000 + byte; glyph g's rows all hold
// g, except the empty glyphs 0, 32 and 255.
std::vector<uint8_t> make_psf1(uint8_t mode = 0x02, uint8_t char_size = 16) {
    std::vector<uint8_t> file{0x36, 0x04, mode, char_size};
    for (int g = 0; g < 256; ++g)
        for (int row = 0; row < char_size; ++row)
            file.push_back(g == 0 || g == 32 || g == 255 ? 0 : uint8_t(g));
    auto put16 = [&](uint16_t value) {
        file.push_back(uint8_t(value & 0xFF));
        file.push_back(uint8_t(value >> 8));
    };
    const std::pair<int, uint16_t> landmarks[] = {
        {0x01, 0x263A}, {0x03, 0x2665}, {0x41, 0x0041}, {0x7F, 0x2302}, {0x81, 0x00FC},
        {0x94, 0x00F6}, {0xC9, 0x2554}, {0xDB, 0x2588}, {0xE0, 0x03B1}, {0xF6, 0x00F7},
    };
    for (int g = 0; g < 256; ++g) {
        uint16_t code_point = uint16_t(0xE000 + g);
        for (auto [byte, point] : landmarks)
            if (byte == g)
                code_point = point;
        put16(code_point);
        if (g == 0xF6) {  // a combining sequence after the plain entries is skipped
            put16(0xFFFE);
            put16(0x0041);
            put16(0x0301);
        }
        put16(0xFFFF);
    }
    return file;
}

std::string read_and_check(const std::vector<uint8_t>& file) {
    psf1_font font;
    std::string problem = read_psf1_font(file, font);
    return problem.empty() ? check_cp437_order(font) : problem;
}

}  // namespace

TEST(psf1_font, reads_glyphs_and_table_of_a_cp437_font) {
    psf1_font font;
    ASSERT_EQ(read_psf1_font(make_psf1(), font), "");
    EXPECT_EQ(check_cp437_order(font), "");
    EXPECT_EQ(font.glyphs[0xF6][0], 0xF6);
    EXPECT_EQ(font.glyphs[0xF6][15], 0xF6);
    EXPECT_EQ(font.code_points[0xF6], std::vector<uint32_t>{0x00F7});  // the sequence is not a code point
    EXPECT_EQ(font.code_points[0x94], std::vector<uint32_t>{0x00F6});
}

TEST(psf1_font, refuses_fonts_that_would_give_a_wrong_table) {
    struct bad_font {
        const char* what;
        std::vector<uint8_t> file;
        const char* problem_mentions;
    };
    std::vector<bad_font> cases;
    cases.push_back({"psf2 magic", make_psf1(), "magic"});
    cases.back().file[0] = 0x72;
    cases.push_back({"8 pixels high", make_psf1(0x02, 8), "16"});
    cases.push_back({"512 glyphs", make_psf1(0x03), "512"});
    cases.push_back({"cut inside the glyphs", make_psf1(), "glyphs"});
    cases.back().file.resize(4 + 100 * 16);
    cases.push_back({"cut inside the table", make_psf1(), "table"});
    cases.back().file.resize(cases.back().file.size() - 3);
    cases.push_back({"no table", make_psf1(0x00), "no Unicode table"});
    cases.back().file.resize(4 + 256 * 16);
    // ISO 8859-1 order: the division sign in glyph 0xF7, not 0xF6
    cases.push_back({"division sign elsewhere", make_psf1(), "0xF6"});
    {
        std::vector<uint8_t>& file = cases.back().file;
        for (size_t at = 4 + 256 * 16; at + 1 < file.size(); at += 2)
            if (file[at] == 0xF7 && file[at + 1] == 0x00)
                file[at] = 0x42;
    }
    cases.push_back({"glyph 255 not empty", make_psf1(), "0xFF"});
    cases.back().file[4 + 255 * 16 + 7] = 0x18;

    for (const bad_font& c : cases) {
        const std::string problem = read_and_check(c.file);
        EXPECT_NE(problem.find(c.problem_mentions), std::string::npos) << c.what << ": \"" << problem << "\"";
    }
}
