#include <gtest/gtest.h>

#include <string>

#include "answer_check.h"

namespace {

struct answer_case {
    const char* line;
    uint32_t type_code;
    bool valid;
    const char* field;   // for a text value
    int64_t number;      // for a whole number
};

constexpr uint32_t T = text_type_code;
constexpr uint32_t N = whole_number_type_code;

const answer_case answer_cases[] = {
    // text: fields, commas and quotes
    {"", T, true, "", 0},
    {"abc", T, true, "abc", 0},
    {" Y ", T, true, " Y ", 0},
    {"ab,", T, false, "", 0},
    {"\"a,b\"", T, true, "a,b", 0},
    {"\"a,b", T, true, "a,b", 0},
    {"\"", T, true, "", 0},
    {"\"cd\"", T, true, "cd", 0},
    {"\"ab\"c", T, false, "", 0},
    {"\"ab\" ", T, false, "", 0},
    {"\"ab\",", T, false, "", 0},
    {"\"ab\"\"", T, false, "", 0},
    {"a\"b", T, true, "a\"b", 0},
    {" \"x", T, true, " \"x", 0},
    {"\x1b\x03", T, true, "\x1b\x03", 0},
    // whole numbers: decimal
    {"32767", N, true, "", 32767},
    {"32768", N, false, "", 0},
    {"-32768", N, true, "", -32768},
    {"-32769", N, false, "", 0},
    {"99999999999999999999999", N, false, "", 0},
    {"0", N, true, "", 0},
    {"00", N, false, "", 0},
    {"05", N, false, "", 0},
    {"-0", N, true, "", 0},
    {"-05", N, false, "", 0},
    {"-", N, true, "", 0},
    {"--1", N, false, "", 0},
    {"1-", N, false, "", 0},
    {"+1", N, false, "", 0},
    {"1 ", N, false, "", 0},
    {" 1", N, false, "", 0},
    {"1.5", N, false, "", 0},
    {"1e3", N, false, "", 0},
    {"", N, true, "", 0},
    // whole numbers: & forms
    {"&", N, true, "", 0},
    {"&H", N, true, "", 0},
    {"&o", N, true, "", 0},
    {"&B", N, true, "", 0},
    {"&X", N, false, "", 0},
    {"&HFFFF", N, true, "", -1},
    {"&H8000", N, true, "", -32768},
    {"&h7fff", N, true, "", 32767},
    {"&H00000", N, false, "", 0},
    {"&HG", N, false, "", 0},
    {"&O177777", N, true, "", -1},
    {"&O200000", N, false, "", 0},
    {"&O1777777", N, false, "", 0},
    {"&O8", N, false, "", 0},
    {"&B1111111111111111", N, true, "", -1},
    {"&B11111111111111111", N, false, "", 0},
    {"&B2", N, false, "", 0},
    {"-&H1", N, false, "", 0},
    // whole numbers in quotes, and a comma
    {"\"42\"", N, true, "", 42},
    {"\"42", N, true, "", 42},
    {"\"", N, true, "", 0},
    {"4,2", N, false, "", 0},
    {"\"4 2\"", N, false, "", 0},
};

TEST(answer_check, table_of_answer_lines) {
    for (const auto& c : answer_cases) {
        std::string line = c.line;
        answer_check result = check_answer_line(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(line.data()), line.size()), c.type_code);
        ASSERT_EQ(result.valid, c.valid) << '[' << line << ']';
        if (!c.valid) continue;
        if (c.type_code == T) {
            EXPECT_EQ(line.substr(result.field_start, result.field_length), c.field) << '[' << line << ']';
        } else {
            EXPECT_EQ(result.number, c.number) << '[' << line << ']';
        }
    }
}

}  // namespace
