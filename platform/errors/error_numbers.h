// The error numbers that the runtime raises or treats apart, each named once,
// and the description of every number.
#pragma once
#include <cstdint>

// Raised for an argument out of range, and in place of a number of zero or less.
inline constexpr int32_t illegal_function_call = 5;

// Immediate critical: an arithmetic exception, "Division by zero".
inline constexpr int32_t division_by_zero = 11;

// Out of memory: immediate critical, one number for each kind of storage
// (storage_kind.h). The family is 257 and 502 to 518; a box reads "Critical
// Error #" and the number less 500 (1 for 257).
namespace out_of_memory {
inline constexpr int32_t shown_as_one = 257;        // "Critical Error #1"
inline constexpr int32_t numbered_from = 502;       // "Critical Error #2" ...
inline constexpr int32_t numbered_to = 518;         // ... to "Critical Error #18"

constexpr bool includes(int32_t number) {
    return number == shown_as_one || (number >= numbered_from && number <= numbered_to);
}
// The number that the box's title shows.
constexpr int32_t title_number(int32_t number) { return number == shown_as_one ? 1 : number - 500; }
}  // namespace out_of_memory

// Reported critical: pending like any other error, but the error dialog offers
// OK alone and the process ends after it.
namespace reported_critical {
inline constexpr int32_t first = 300;  // "Memory block out of range"
inline constexpr int32_t last = 315;   // "Assertion failed (details on standard error)"

constexpr bool includes(uint32_t number) { return number >= uint32_t(first) && number <= uint32_t(last); }
}  // namespace reported_critical

// The description of an error number ("Unprintable error" when it has none).
const char* error_description(uint32_t number);
