// The storage that the runtime allocates for itself, and the one way a failure
// to get it is handled: the critical error "Out of memory" with the number of
// the storage's kind, never an exception out of the allocating thread. A failure
// that a test forces (fault_injection.h) fails the raw allocation itself, so it
// takes the same path as a real one.
#pragma once
#include <cstddef>
#include <limits>
#include <new>
#include <vector>

#include "error_numbers.h"
#include "storage_kind.h"

// Raw storage of the kind, aligned for any type; null when none can be had.
void* take_storage(storage_kind kind, std::size_t bytes) noexcept;
// Gives back storage that take_storage gave; null does nothing.
void give_back_storage(void* storage) noexcept;

// Shows the critical error "Out of memory" of the kind and ends the process.
[[noreturn]] void raise_out_of_memory(storage_kind kind);

// The allocator of the runtime's containers: storage of its kind, and
// std::bad_alloc from inside the container's growth when there is none.
template <class T, storage_kind kind>
struct runtime_allocator {
    static_assert(alignof(T) <= alignof(std::max_align_t));
    using value_type = T;
    template <class other_type>
    struct rebind {
        using other = runtime_allocator<other_type, kind>;
    };

    runtime_allocator() = default;
    template <class other_type>
    runtime_allocator(const runtime_allocator<other_type, kind>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
        void* storage = take_storage(kind, count * sizeof(T));
        if (storage == nullptr) throw std::bad_alloc();
        return static_cast<T*>(storage);
    }
    void deallocate(T* storage, std::size_t) noexcept { give_back_storage(storage); }

    friend bool operator==(const runtime_allocator&, const runtime_allocator&) noexcept { return true; }
};

// A vector whose every growth is storage of the kind.
template <class T, storage_kind kind>
using runtime_vector = std::vector<T, runtime_allocator<T, kind>>;

// Runs allocate, a call that takes storage of the kind through runtime_allocator
// (directly or inside a container's growth), and gives back its result; when the
// storage cannot be had, the critical error of the kind. Every allocation of the
// runtime goes through here, and nothing else catches std::bad_alloc.
template <storage_kind kind, class allocation>
decltype(auto) allocate_or_fail(allocation&& allocate) noexcept {
    static_assert(out_of_memory::includes(static_cast<int32_t>(kind)));
    try {
        return allocate();
    } catch (const std::bad_alloc&) {
        raise_out_of_memory(kind);
    }
}

// Uninitialised storage for count values of T, of the kind; never null.
template <class T, storage_kind kind>
T* storage_or_fail(std::size_t count) noexcept {
    return allocate_or_fail<kind>([count] { return runtime_allocator<T, kind>{}.allocate(count); });
}

// A new default-initialised T in storage of the kind; never null. Freed, if at
// all, by storage_delete.
template <class T, storage_kind kind>
T* new_or_fail() noexcept {
    return new (storage_or_fail<T, kind>(1)) T;
}

// Destroys and frees a value made by new_or_fail (the deleter of its unique_ptr).
template <class T>
struct storage_delete {
    void operator()(T* value) const noexcept {
        value->~T();
        give_back_storage(value);
    }
};
