#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_value.h"

namespace {

std::string bytes_of(const text_value* text) {
    return std::string(reinterpret_cast<const char*>(text->bytes), text->length);
}

TEST(text_value, literal_temporary_is_not_copied_and_assign_copies_it) {
    uint32_t mark = temp_string_count();
    static const char bytes[] = "abc";
    text_value* literal = temp_string_literal(bytes, 3);
    EXPECT_EQ(literal->bytes, reinterpret_cast<const uint8_t*>(bytes));
    text_value* owned = new_string(0, false);
    assign_string(owned, literal);
    EXPECT_NE(owned->bytes, literal->bytes);
    EXPECT_EQ(bytes_of(owned), "abc");
    EXPECT_EQ(temp_string_count(), mark + 1);
    release_temp_strings(mark, 0);
    EXPECT_EQ(bytes_of(owned), "abc");
    free_string(owned);
}

TEST(text_value, freed_short_texts_leave_no_storage_and_later_texts_keep_their_bytes) {
    uint64_t in_use = text_storage_in_use();
    std::vector<text_value*> texts;
    const std::string lines[] = {"youareanidiot hahahahahahah!", "a", std::string(32, 'x'), std::string(33, 'y'),
                                 "Welcome to Morvane", std::string(31, 'z')};
    for (int round = 0; round < 3; ++round) {
        for (const std::string& line : lines) {
            text_value* text = new_string(0, false);
            assign_bytes(text, reinterpret_cast<const uint8_t*>(line.data()), uint32_t(line.size()));
            texts.push_back(text);
        }
        for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(bytes_of(texts[i]), lines[i]);
        // A shorter text into a value that had a longer one, and back.
        assign_bytes(texts[0], reinterpret_cast<const uint8_t*>("ab"), 2);
        EXPECT_EQ(bytes_of(texts[0]), "ab");
        assign_bytes(texts[0], reinterpret_cast<const uint8_t*>(lines[0].data()), uint32_t(lines[0].size()));
        EXPECT_EQ(bytes_of(texts[0]), lines[0]);
        for (text_value* text : texts) free_string(text);
        texts.clear();
        EXPECT_EQ(text_storage_in_use(), in_use);
    }
}

TEST(text_value, assign_takes_over_a_built_temporary) {
    uint32_t mark = temp_string_count();
    text_value* built = integer_to_text(42);
    uint8_t* storage = built->bytes;
    text_value* owned = new_string(0, false);
    assign_string(owned, built);
    EXPECT_EQ(owned->bytes, storage);
    EXPECT_TRUE(built->released);
    release_temp_strings(mark, 0);
    EXPECT_EQ(bytes_of(owned), " 42");
    free_string(owned);
}

TEST(text_value, strings_equal_needs_same_length_and_bytes) {
    uint32_t mark = temp_string_count();
    struct { const char* left; uint32_t left_length; const char* right; uint32_t right_length; int32_t equal; } cases[] = {
        {"cd", 2, "cd", 2, -1}, {"cd", 2, "CD", 2, 0}, {"cd", 2, "cd ", 3, 0},
        {"", 0, "", 0, -1},     {"a\0b", 3, "a\0c", 3, 0}, {"a\0b", 3, "a\0b", 3, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(strings_equal(temp_string_literal(c.left, c.left_length),
                                temp_string_literal(c.right, c.right_length)),
                  c.equal)
            << c.left;
    }
    release_temp_strings(mark, 0);
}

TEST(text_value, integer_to_text_puts_a_blank_for_the_sign_of_non_negative_values) {
    uint32_t mark = temp_string_count();
    struct { int64_t value; const char* text; } cases[] = {
        {0, " 0"}, {5, " 5"}, {-3, "-3"}, {65534, " 65534"}, {-65536, "-65536"},
        {INT64_MIN, "-9223372036854775808"}, {INT64_MAX, " 9223372036854775807"},
    };
    for (const auto& c : cases) EXPECT_EQ(bytes_of(integer_to_text(c.value)), c.text);
    release_temp_strings(mark, 0);
}

TEST(text_value, concat_returns_an_operand_when_the_other_is_empty) {
    uint32_t mark = temp_string_count();
    text_value* left = integer_to_text(7);
    text_value* empty = new_string(0, true);
    EXPECT_EQ(concat_strings(left, empty), left);
    EXPECT_EQ(concat_strings(empty, left), left);
    text_value* joined = concat_strings(left, temp_string_cstr(" "));
    EXPECT_EQ(bytes_of(joined), " 7 ");
    EXPECT_TRUE(left->released);
    release_temp_strings(mark, 0);
}

TEST(text_value, release_returns_the_value_and_goes_back_to_the_mark) {
    uint32_t mark = temp_string_count();
    temp_string_cstr("x");
    integer_to_text(1);
    EXPECT_EQ(release_temp_strings(mark, -1), -1);
    EXPECT_EQ(temp_string_count(), mark);
}

}  // namespace
