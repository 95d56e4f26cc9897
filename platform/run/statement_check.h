// The per-statement check and the statement frame that calls it.
#pragma once
#include <cstdint>

#include "run_flags.h"

// Clears event_pending; holds while paused; parks on a stop; shows the error
// dialog for a pending error; otherwise calls dispatch_events.
void statement_check(uint32_t statement_number);

// The runtime's place for running the event handlers that a program registers
// (key, timer and joystick-button traps). This system registers none and keeps
// no list of them, so it does nothing; it stands where the check calls it.
void dispatch_events();

// The statement frame: one load and one test when nothing is pending.
inline void finish_statement(uint32_t statement_number) {
    if (flags().event_pending.load(std::memory_order_acquire) != 0) statement_check(statement_number);
}

// Test seam: when set, called with every number statement_check receives, after
// event_pending has been cleared. Nothing in the program sets it.
extern void (*statement_check_observer)(uint32_t statement_number);
