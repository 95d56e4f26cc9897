#include "fault_injection.h"

#include <atomic>

namespace {
// THREADING: written by test code, read by the thread that allocates.
std::atomic<uint32_t> injected_faults{0};
}

void inject_fault(fault_point point) {
    injected_faults.fetch_or(1u << static_cast<uint32_t>(point), std::memory_order_acq_rel);
}

bool fault_is_injected(fault_point point) {
    uint32_t bit = 1u << static_cast<uint32_t>(point);
    if ((injected_faults.load(std::memory_order_relaxed) & bit) == 0) return false;
    return (injected_faults.fetch_and(~bit, std::memory_order_acq_rel) & bit) != 0;
}
