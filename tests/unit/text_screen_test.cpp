#include <gtest/gtest.h>

#include <string>

#include "run_flags.h"
#include "screen_text.h"
#include "text_screen.h"

namespace {

struct text_screen_test : ::testing::Test {
    text_screen screen;
    void SetUp() override { reset_screen(screen); }
    void print(const std::string& bytes, bool end_line) {
        print_text(screen, literal_text(bytes), end_line);
    }
    // An output item: fit check, then the text.
    void item(const std::string& bytes) {
        text_value text = literal_text(bytes);
        fit_on_line(screen, text);
        print_text(screen, text, false);
    }
    void end_line() { print_text(screen, empty_text(), true); }
    void expect_cursor(int column, int row, bool wrap) {
        EXPECT_EQ(screen.cursor_column, column);
        EXPECT_EQ(screen.cursor_row, row);
        EXPECT_EQ(screen.wrap_pending, wrap);
    }
};

TEST_F(text_screen_test, starts_blank_grey_on_black_with_the_cursor_home) {
    for (int row = 1; row <= screen_rows; ++row) {
        for (int column = 1; column <= screen_columns; ++column) {
            ASSERT_EQ(cell_character(screen, column, row), ' ');
            ASSERT_EQ(cell_attribute(screen, column, row), 0x07);
        }
    }
    expect_cursor(1, 1, false);
    EXPECT_EQ(screen.top_row, 1);
    EXPECT_EQ(screen.bottom_row, 24);
}

TEST_F(text_screen_test, attribute_comes_from_the_current_colours) {
    screen.foreground = 18;  // 16 + 2: green, blinking
    screen.background = 9;   // only the low three bits count
    EXPECT_EQ(current_attribute(screen), 0x80 + 0x10 + 0x02);
}

TEST_F(text_screen_test, item_of_80_bytes_fills_one_row_and_the_line_end_moves_one_row) {
    item(std::string(80, 'a'));
    expect_cursor(80, 1, true);
    end_line();
    expect_cursor(1, 2, false);
    item("next");
    EXPECT_EQ(row_of(screen, 2), "next");
}

TEST_F(text_screen_test, item_of_81_bytes_puts_its_last_byte_in_column_1_of_the_next_row) {
    item(std::string(80, 'a') + "b");
    EXPECT_EQ(row_of(screen, 2), "b");
    expect_cursor(2, 2, false);
}

TEST_F(text_screen_test, greeting_places_the_name_in_the_third_zone_or_on_the_next_row) {
    struct { size_t name_length; int name_row; int name_column; int next_row; } cases[] = {
        {0, 0, 0, 2}, {1, 1, 29, 2}, {52, 1, 29, 2}, {53, 2, 1, 3}, {133, 2, 1, 4},
    };
    for (const auto& c : cases) {
        reset_screen(screen);
        item("Welcome to Morvane");
        next_print_zone(screen);
        expect_cursor(29, 1, false);
        std::string name(c.name_length, 'n');
        item(name);
        end_line();
        EXPECT_EQ(screen.cursor_row, c.next_row) << c.name_length;
        EXPECT_EQ(screen.cursor_column, 1);
        if (c.name_length == 0) {
            EXPECT_EQ(row_of(screen, 1), "Welcome to Morvane");
        } else {
            EXPECT_EQ(cell_character(screen, c.name_column, c.name_row), 'n') << c.name_length;
            EXPECT_EQ(row_of(screen, 1).substr(0, 18), "Welcome to Morvane");
        }
    }
}

TEST_F(text_screen_test, comma_moves_to_the_next_print_zone) {
    // last_blank: the last column that gets a blank, from the start column on; 0
    // when none is written.
    struct { int column; bool wrap; int last_blank; int after_column; int after_row; bool after_wrap; } cases[] = {
        {1, false, 14, 15, 1, false},  {14, false, 14, 15, 1, false}, {15, false, 28, 29, 1, false},
        {19, false, 28, 29, 1, false}, {43, false, 56, 57, 1, false}, {56, false, 56, 57, 1, false},
        {57, false, 79, 80, 1, false}, {71, false, 79, 80, 1, false}, {79, false, 79, 80, 1, false},
        {80, false, 80, 80, 1, true},  {80, true, 0, 1, 2, false},
    };
    const uint8_t fill = 'q';
    for (const auto& c : cases) {
        reset_screen(screen);
        for (auto& byte : screen.cells) byte = fill;  // something for the blanks to erase
        move_cursor(screen, static_cast<int16_t>(c.column), 1, c.wrap);
        next_print_zone(screen);
        EXPECT_EQ(screen.cursor_column, c.after_column) << "from column " << c.column;
        EXPECT_EQ(screen.cursor_row, c.after_row) << "from column " << c.column;
        EXPECT_EQ(screen.wrap_pending, c.after_wrap) << "from column " << c.column;
        // Blanks in the current colours from the start column to the last blank;
        // every other cell of the row, and the row below, as it was.
        for (int column = 1; column <= screen_columns; ++column) {
            const bool blanked = column >= c.column && column <= c.last_blank;
            EXPECT_EQ(cell_character(screen, column, 1), blanked ? ' ' : fill)
                << "from column " << c.column << ", column " << column;
            EXPECT_EQ(cell_attribute(screen, column, 1), blanked ? 0x07 : fill)
                << "from column " << c.column << ", column " << column;
        }
        EXPECT_EQ(row_of(screen, 2), std::string(screen_columns, fill)) << "from column " << c.column;
    }
}

TEST_F(text_screen_test, new_line_on_bottom_row_scrolls_print_area_only) {
    for (int row = 1; row <= 24; ++row) {
        move_cursor(screen, 1, static_cast<int16_t>(row), false);
        print("row " + std::to_string(row), false);
    }
    // Row 25 is outside the print area; put something there to see it stays.
    screen.cells[(24 * 80) * 2] = 'Z';
    move_cursor(screen, 1, 24, false);
    print("", true);
    for (int row = 1; row <= 23; ++row) EXPECT_EQ(row_of(screen, row), "row " + std::to_string(row + 1));
    EXPECT_EQ(row_of(screen, 24), "");
    EXPECT_EQ(row_of(screen, 25), "Z");
    expect_cursor(1, 24, false);
}

TEST_F(text_screen_test, each_way_out_of_a_pending_wrap) {
    struct way { const char* name; void (*act)(text_screen&); int column; int row; bool wrap; };
    static const std::string one_byte = "x";
    way ways[] = {
        {"non-empty text", [](text_screen& s) { print_text(s, literal_text(one_byte), false); }, 2, 2, false},
        {"empty text with line end", [](text_screen& s) { print_text(s, empty_text(), true); }, 1, 2, false},
        {"empty text without line end", [](text_screen& s) { print_text(s, empty_text(), false); }, 80, 1, true},
        {"comma", [](text_screen& s) { next_print_zone(s); }, 1, 2, false},
        {"fit check", [](text_screen& s) { fit_on_line(s, literal_text(one_byte)); }, 80, 1, true},
        {"view print", [](text_screen& s) { set_view_print(s, 25, 25, true); }, 1, 25, false},
    };
    for (const auto& w : ways) {
        reset_screen(screen);
        print(std::string(80, 'a'), false);
        ASSERT_TRUE(screen.wrap_pending);
        w.act(screen);
        EXPECT_EQ(screen.cursor_column, w.column) << w.name;
        EXPECT_EQ(screen.cursor_row, w.row) << w.name;
        EXPECT_EQ(screen.wrap_pending, w.wrap) << w.name;
    }
}

TEST_F(text_screen_test, clear_blanks_all_25_rows_and_homes_the_cursor) {
    for (auto& b : screen.cells) b = 'q';
    move_cursor(screen, 7, 9, false);
    clear_screen(screen, 0, 0, 0);
    for (int row = 1; row <= 25; ++row) EXPECT_EQ(row_of(screen, row), "");
    expect_cursor(1, 1, false);
}

TEST_F(text_screen_test, view_print_checks_its_rows) {
    set_view_print(screen, 25, 25, true);
    EXPECT_EQ(screen.top_row, 25);
    EXPECT_EQ(screen.bottom_row, 25);
    expect_cursor(1, 25, false);
    print("", true);  // scrolling the one-row area blanks it
    EXPECT_EQ(row_of(screen, 25), "");
    for (auto bad : {std::pair{0, 5}, std::pair{6, 5}, std::pair{1, 26}}) {
        set_view_print(screen, bad.first, bad.second, true);
        EXPECT_EQ(flags().error_pending.load(), 5u);
        flags().error_pending = 0;
        flags().event_pending = 0;
    }
    set_view_print(screen, 0, 0, false);
    EXPECT_EQ(screen.top_row, 1);
    EXPECT_EQ(screen.bottom_row, 25);
}

TEST_F(text_screen_test, nothing_is_printed_or_cleared_while_an_error_is_pending) {
    print("ab", false);
    auto before = screen.cells;
    flags().error_pending = 5;
    print("cd", true);
    next_print_zone(screen);
    clear_screen(screen, 0, 0, 0);
    flags().error_pending = 0;
    EXPECT_EQ(screen.cells, before);
    expect_cursor(3, 1, false);
}

TEST_F(text_screen_test, every_byte_but_the_controls_is_a_character) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        if (b == 7 || (b >= 9 && b <= 13) || (b >= 28 && b <= 31)) continue;
        bytes += static_cast<char>(b);
    }
    print(bytes, false);
    EXPECT_EQ(cell_character(screen, 1, 1), 0);
    EXPECT_EQ(cell_character(screen, 4, 1), 3);
    // 246 bytes: three full rows and 6 more.
    expect_cursor(7, 4, false);
    EXPECT_EQ(cell_character(screen, 6, 4), 255);
}

}  // namespace
