// Text values: byte strings with an explicit length, and the temporaries that a
// statement makes and releases at its end.
#pragma once
#include <cstdint>

// Invariant: bytes points at length readable bytes (it may be null when length is
// 0). Unless `literal` is set the bytes are this value's own storage of `capacity`
// bytes; a literal's bytes belong to the literal and are never written or freed.
// A temporary value is on the list of temporaries until it is released.
struct text_value {
    uint8_t* bytes = nullptr;
    uint32_t length = 0;
    uint32_t capacity = 0;
    bool temporary = false;  // made for one statement; released with release_temp_strings
    bool literal = false;    // bytes point into a literal, not into storage of its own
    bool released = false;   // a temporary given up early (taken over or joined)
};

// All of these run on the shell's thread only: the list of temporaries is its own.

// A new text value of the given length (bytes zeroed); temporary or owned by the caller.
text_value* new_string(uint32_t length, bool temporary);
// A temporary over a literal of the given length; the bytes are not copied.
text_value* temp_string_literal(const void* bytes, uint32_t length);
// The same over a zero-terminated literal.
text_value* temp_string_cstr(const char* bytes);
// The target gets the source's bytes and length. From a temporary that is not a
// literal the storage is handed over instead of copied, and the temporary counts
// as released.
void assign_string(text_value* target, text_value* source);
// The target gets a copy of the given bytes.
void assign_bytes(text_value* target, const uint8_t* bytes, uint32_t length);
// Left followed by right: left itself when right is empty, right itself when left
// is empty, otherwise a new temporary; temporary operands are released by the call.
text_value* concat_strings(text_value* left, text_value* right);
// Releases a value; a temporary is taken off the list at the next release.
void free_string(text_value* text);
// All bits set when both have the same length and the same bytes, 0 otherwise.
int32_t strings_equal(const text_value* left, const text_value* right);
// A temporary "-" or blank, then the decimal digits without leading zeros.
text_value* integer_to_text(int64_t value);

// The count of temporaries: a routine keeps it as its mark.
uint32_t temp_string_count();
// Releases every temporary made since mark and returns value unchanged.
int64_t release_temp_strings(uint32_t mark, int64_t value);

// The runtime's empty text value, which lives for the whole run.
const text_value& empty_text();

// Storage that lasts the run (the shell's numbers); never freed.
void* alloc_static_value(uint32_t size);

// Bytes of storage held by text values that are alive now: the heap the text
// values use, for the tests of constant memory.
uint64_t text_storage_in_use();
