// Allocation failures that tests force, so that every out-of-memory path runs:
// the next raw allocation of a kind gets no storage, as when the system has
// none. Nothing in the program forces one; only test code calls inject_fault.
#pragma once
#include "storage_kind.h"

// Makes the next allocation of the kind fail (test code only).
void inject_fault(storage_kind kind);

// True once, at the first allocation of the kind after inject_fault(kind).
bool fault_is_injected(storage_kind kind);
