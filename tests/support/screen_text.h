// The text screen as the tests read it, and strings as the text values that the
// screen's operations print.
#pragma once
#include <cstdint>
#include <string>

#include "text_screen.h"
#include "text_value.h"

// Row `row` (1..25) of the screen: its 80 characters, blanks and all.
inline std::string row_bytes(const text_screen& screen, int row) {
    std::string text;
    for (int column = 1; column <= screen_columns; ++column) text += static_cast<char>(cell_character(screen, column, row));
    return text;
}

// Row `row` (1..25) of the screen as text, with the trailing blanks cut.
inline std::string row_of(const text_screen& screen, int row) {
    std::string text = row_bytes(screen, row);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// A literal text value over the string's own bytes, not copied: the runtime
// neither writes nor frees a literal's bytes. It holds them only while the string
// lives unchanged, hence no temporaries.
inline text_value literal_text(const std::string& bytes) {
    return text_value{.bytes = reinterpret_cast<uint8_t*>(const_cast<char*>(bytes.data())),
                      .length = static_cast<uint32_t>(bytes.size()),
                      .literal = true};
}
text_value literal_text(const std::string&& bytes) = delete;
