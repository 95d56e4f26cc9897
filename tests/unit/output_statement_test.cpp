#include <gtest/gtest.h>

#include <malloc.h>

#include <string>

#include "run_flags.h"
#include "screen_text.h"
#include "statements.h"
#include "text_screen.h"

namespace {

struct output_statement_test : ::testing::Test {
    void SetUp() override {
        reset_screen(the_screen());
        set_routine_mark(temp_string_count());
        flags().event_pending = 0;
        flags().error_pending = 0;
    }
};

TEST_F(output_statement_test, loop_of_statements_runs_in_constant_memory) {
    text_value* name = new_string(0, false);
    assign_bytes(name, reinterpret_cast<const uint8_t*>("Ann"), 3);
    int16_t first = 32767;
    int16_t second = 32767;
    auto one_turn = [&] {
        output_statement(69, item(text("youareanidiot hahahahahahah!")));
        output_statement(13, item(text("Welcome to Morvane")), item(name));
        output_statement(40, sum_item(&first, &second));
        ASSERT_EQ(temp_string_count(), routine_mark());
    };
    for (int i = 0; i < 1000; ++i) one_turn();
    uint64_t text_storage = text_storage_in_use();
    size_t heap = mallinfo2().uordblks;
    for (int i = 0; i < 33334; ++i) one_turn();
    EXPECT_EQ(text_storage_in_use(), text_storage);
    EXPECT_LE(mallinfo2().uordblks, heap + 4096);
    EXPECT_EQ(row_of(the_screen(), 24), "");
    EXPECT_EQ(row_of(the_screen(), 23), " 65534");
    EXPECT_EQ(row_of(the_screen(), 22), "Welcome to Morvane          Ann");
    free_string(name);
}

TEST_F(output_statement_test, sum_is_widened_and_printed_with_its_blanks) {
    struct { int16_t first, second; const char* line; } cases[] = {
        {2, 3, " 5 "}, {0, 0, " 0 "}, {-5, 2, "-3 "}, {-32768, 32767, "-1 "},
        {32767, 1, " 32768 "}, {32767, 32767, " 65534 "}, {-32768, -32768, "-65536 "},
    };
    for (const auto& c : cases) {
        reset_screen(the_screen());
        output_statement(40, sum_item(&c.first, &c.second));
        EXPECT_EQ(row_bytes(the_screen(), 1).substr(0, std::string(c.line).size()), c.line);
        EXPECT_EQ(the_screen().cursor_row, 2);
    }
}

TEST_F(output_statement_test, pending_error_prints_nothing_not_even_the_line_end) {
    flags().error_pending = 5;
    output_statement(25, item(text("scan is finished...")));
    flags().error_pending = 0;
    EXPECT_EQ(row_of(the_screen(), 1), "");
    EXPECT_EQ(the_screen().cursor_row, 1);
    EXPECT_EQ(the_screen().cursor_column, 1);
    EXPECT_EQ(temp_string_count(), routine_mark());
}

}  // namespace
