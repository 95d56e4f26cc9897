// What window_fixture prints, and the text screen that this leaves, shared by the
// fixture and the tests that read the window back.
#pragma once
#include <array>
#include <string>
#include <vector>

// The lines of the "still" screen, each printed by one output statement: numbered
// lines enough to scroll the print area, a 150-byte line that wraps after 80 bytes
// and holds the division sign 0xF6 and a heart (3), the upper half of the code
// page (0x80..0xFF, the first 80 bytes filling one row exactly) and the symbols
// of the control range that print as glyphs.
inline std::vector<std::string> still_screen_lines() {
    std::vector<std::string> lines;
    for (int n = 1; n <= 22; ++n)
        lines.push_back("line " + std::to_string(n) + " of the window test");
    std::string wrapping = "A 150-byte line: 6 \xF6 2 = 3, a heart \x03 and an o-umlaut \x94; ";
    while (wrapping.size() < 150)
        wrapping += char('a' + wrapping.size() % 26);
    lines.push_back(wrapping);
    std::string upper_half;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        upper_half += char(byte);
    lines.push_back(upper_half);
    std::string symbols;
    for (int byte : {0, 1, 2, 3, 4, 5, 6, 8, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 127})
        symbols += char(byte);
    lines.push_back(symbols);
    lines.push_back("the last line");
    return lines;
}

// The screen after printing `lines` from row 1 on an empty screen, each line
// ended: a line takes ceil(length / 80) rows (at least one), the print area is
// rows 1 to 24 and scrolls, row 25 stays blank. 25 rows of 80 bytes.
inline std::array<std::string, 25> screen_after_lines(const std::vector<std::string>& lines) {
    std::vector<std::string> rows;
    for (const std::string& line : lines) {
        size_t at = 0;
        do {
            rows.push_back(line.substr(at, 80));
            at += 80;
        } while (at < line.size());
    }
    rows.push_back("");  // the row that the last line end moves the cursor to
    std::array<std::string, 25> screen;
    const size_t first = rows.size() > 24 ? rows.size() - 24 : 0;
    for (size_t row = 0; row < 25; ++row) {
        const std::string shown = row < 24 && first + row < rows.size() ? rows[first + row] : "";
        screen[row] = shown + std::string(80 - shown.size(), ' ');
    }
    return screen;
}
