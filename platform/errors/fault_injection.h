// Failure points that tests can force, so that every out-of-memory path is
// reachable. Nothing in the program sets them; only test code calls inject_fault.
#pragma once
#include <cstdint>

enum class fault_point : uint32_t {
    text_store,        // storage for a text value's bytes
    text_register,     // a new text value record
    released_list,     // the list of released text values
    temporary_list,    // the list of temporaries
    first_screen_copy, // an input's saved screen
    second_screen_copy,// an input's scratch screen
    static_values,     // the start-up storage of the shell's numbers
    text_store_setup,  // the text store's first creation
    answer_line,       // an input's answer line growing by a byte
};

// Forces the next use of the point to fail (test code only).
void inject_fault(fault_point point);

// True once, at the use after inject_fault(point).
bool fault_is_injected(fault_point point);
