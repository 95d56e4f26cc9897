#include "runtime_allocator.h"

#include <cstdlib>

#include "error_report.h"
#include "fault_injection.h"

void* take_storage(storage_kind kind, std::size_t bytes) noexcept {
    // A forced failure stands in for the system's answer, before anything
    // checks it.
    if (fault_is_injected(kind)) return nullptr;
    return std::malloc(bytes);
}

void give_back_storage(void* storage) noexcept { std::free(storage); }

void raise_out_of_memory(storage_kind kind) { raise_critical_error(static_cast<int32_t>(kind)); }
