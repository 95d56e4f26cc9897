// The kinds of storage that the runtime allocates for itself. Each kind's value
// is the number of the critical error "Out of memory" that a failure to get
// storage of that kind raises; the box's title follows from the number by the
// out_of_memory family rule.
#pragma once
#include <cstdint>

enum class storage_kind : int32_t {
    // kind           number    the storage
    static_values      = 504,  // the start-up storage of the shell's numbers
    released_list      = 508,  // the list of released text values, growing
    text_store_setup   = 509,  // the text store's first creation
    text_register      = 510,  // a new text value record
    temporary_list     = 511,  // the list of temporaries, growing
    text_storage       = 512,  // a text value's bytes
    first_screen_copy  = 516,  // an input's saved screen
    second_screen_copy = 517,  // an input's scratch screen
    answer_line        = 518,  // an input's answer line, growing by a byte
};
