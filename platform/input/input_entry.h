// One variable that an input fills.
#pragma once
#include <cstdint>

// A text value or a whole number's 16-bit storage, with its type code
// (text_type_code or whole_number_type_code, answer_check.h).
struct input_entry {
    uint32_t type_code = 0;
    void* variable = nullptr;
};
