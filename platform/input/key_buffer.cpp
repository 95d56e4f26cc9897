#include "key_buffer.h"

#include "run_flags.h"

key_ring& key_buffer() {
    static key_ring* ring = new key_ring;
    return *ring;
}

bool add_key_entry(key_entry entry) {
    auto& ring = key_buffer();
    uint8_t tail = ring.tail.load(std::memory_order_relaxed);
    uint8_t next = static_cast<uint8_t>((tail + 1) % key_buffer_slots);
    if (next == ring.head.load(std::memory_order_acquire)) return false;
    ring.slots[tail] = entry;
    ring.tail.store(next, std::memory_order_release);
    return true;
}

bool take_key_entry(key_entry& entry) {
    auto& ring = key_buffer();
    uint8_t head = ring.head.load(std::memory_order_relaxed);
    if (head == ring.tail.load(std::memory_order_acquire)) return false;
    entry = ring.slots[head];
    ring.head.store(static_cast<uint8_t>((head + 1) % key_buffer_slots), std::memory_order_release);
    return true;
}

int waiting_key_count() {
    auto& ring = key_buffer();
    int tail = ring.tail.load(std::memory_order_acquire);
    int head = ring.head.load(std::memory_order_acquire);
    return (tail - head + key_buffer_slots) % key_buffer_slots;
}

std::atomic<uint64_t> key_reads_done{0};

text_value* read_key() {
    key_entry entry{};
    const bool found = !error_is_pending() && take_key_entry(entry);
    // One writer: a plain increment, no locked instruction on the key poll.
    key_reads_done.store(key_reads_done.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    if (!found) return new_string(0, true);
    if (entry.character == 0 && entry.scan_code != 0) {
        text_value* key = new_string(2, true);
        key->bytes[0] = 0;
        key->bytes[1] = entry.scan_code;
        return key;
    }
    text_value* key = new_string(1, true);
    key->bytes[0] = entry.character;
    return key;
}
