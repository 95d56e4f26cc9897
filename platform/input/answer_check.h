// The check of a whole answer line against the type of its one variable.
#pragma once
#include <cstdint>
#include <span>

inline constexpr uint32_t text_type_code = 0x40000000;
inline constexpr uint32_t whole_number_type_code = 16;

// The outcome of a check: whether the line stands and, when it does, the field
// (the value's bytes within the line) and, for a number, its value.
struct answer_check {
    bool valid = false;
    uint32_t field_start = 0;
    uint32_t field_length = 0;
    int64_t number = 0;  // a whole number's value, its low bits as signed
};

// Checks the answer line from its first byte. A text value takes any field; a
// whole number of width w (low 9 bits of the type code) takes the decimal,
// "-", "&", "&H", "&O" and "&B" forms.
answer_check check_answer_line(std::span<const uint8_t> line, uint32_t type_code);
