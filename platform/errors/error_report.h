// Raising an error: a pending error for the per-statement check, or, for an
// immediate critical number, its box and the end of the process.
#pragma once
#include <cstdint>

#include "error_numbers.h"

// Every ending through a critical error reports failure to whoever started the
// process; the dialog's answer No is the user's choice and ends with 0.
inline constexpr int critical_exit_code = 1;

// Raises runtime error n. An immediate critical number (division_by_zero and the
// out_of_memory family) shows its box and ends the process with
// critical_exit_code, even while another error is pending; otherwise a pending
// error stays (n is dropped), n <= 0 becomes illegal_function_call, and
// error_pending then event_pending are set. Any thread may call it.
void raise_error(int32_t number);

// For a number that is known to be immediate critical: shows its box and ends
// the process with critical_exit_code. Never returns.
[[noreturn]] void raise_critical_error(int32_t number);
