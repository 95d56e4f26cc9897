#include "fault_injection.h"

#include <atomic>

#include "error_numbers.h"

namespace {

// THREADING: written by test code, read by the thread that allocates.
std::atomic<uint32_t> injected_faults{0};

// Every kind's number is in the out-of-memory family, whose title numbers are 1..18.
uint32_t fault_bit(storage_kind kind) { return 1u << out_of_memory::title_number(static_cast<int32_t>(kind)); }

}  // namespace

void inject_fault(storage_kind kind) { injected_faults.fetch_or(fault_bit(kind), std::memory_order_acq_rel); }

bool fault_is_injected(storage_kind kind) {
    const uint32_t bit = fault_bit(kind);
    if ((injected_faults.load(std::memory_order_relaxed) & bit) == 0) return false;
    return (injected_faults.fetch_and(~bit, std::memory_order_acq_rel) & bit) != 0;
}
