// The key buffer: key entries from the window's key-downs to the shell's reads.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>

#include "text_value.h"

// A key entry: a character byte, then a scan code. A zero character byte with a
// non-zero scan code is an extended key.
struct key_entry {
    uint8_t character;
    uint8_t scan_code;
};

inline constexpr uint8_t key_buffer_slots = 16;

// Invariant: the entries waiting are the slots from head up to (not including)
// tail, modulo 16; one slot always stays free, so at most 15 entries wait.
// THREADING: one producer and one consumer, by construction. The producer is
// key_down, which the program calls only on the window's thread (the front end
// reads every key press from one X connection); a test that stands in for the
// window calls it from one thread of its own. The consumer is read_key, on the
// shell's thread. The producer writes both bytes of a slot before it moves tail
// on (release) and reads head (acquire) only to see whether the ring is full;
// the consumer reads both bytes before it moves head on (release) and reads
// tail (acquire) only to see whether the ring is empty.
struct key_ring {
    std::array<key_entry, key_buffer_slots> slots{};
    std::atomic<uint8_t> head{0};
    std::atomic<uint8_t> tail{0};
};

key_ring& key_buffer();

// Producer: adds an entry at the end; false (and the key lost) when 15 wait.
bool add_key_entry(key_entry entry);
// Consumer: takes the oldest entry; false when none waits.
bool take_key_entry(key_entry& entry);
// The number of entries waiting.
int waiting_key_count();

// The next key as a new temporary text value: one byte for a character (or for
// an entry of two zero bytes), two bytes (0, scan code) for an extended key,
// empty when no key waits or while an error is pending.
text_value* read_key();

// Test seam: the number of read_key calls so far, each counted once it has
// looked at the buffer, so that a test can wait for the shell's next looks
// instead of for a time. THREADING: written by the shell's thread (read_key's
// one caller), read by tests on any thread. Nothing in the program reads it.
extern std::atomic<uint64_t> key_reads_done;
