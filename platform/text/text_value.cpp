#include "text_value.h"

#include <cstring>

#include "runtime_allocator.h"

namespace {

// Storage of this many bytes or fewer is taken as one block of exactly this
// size, and a few freed blocks are kept for the next small text: a loop that
// makes and frees a short work text each turn then calls malloc only once.
constexpr uint32_t small_block_bytes = 32;
constexpr int kept_small_blocks = 4;

// The list of temporaries, oldest first, the values released for reuse and the
// freed small blocks kept (they count as no storage in use).
// THREADING: shell thread only.
struct temporary_store {
    runtime_vector<text_value*, storage_kind::temporary_list> temporaries;
    runtime_vector<text_value*, storage_kind::released_list> released_values;
    uint64_t storage_in_use = 0;
    uint8_t* small_blocks[kept_small_blocks] = {};
    int small_block_count = 0;
};

// Made at the first use, on the shell's thread, and kept for the run.
temporary_store& text_store() {
    static temporary_store* the_store = new_or_fail<temporary_store, storage_kind::text_store_setup>();
    return *the_store;
}

// The capacity that storage for length bytes gets.
uint32_t storage_capacity(uint32_t length) {
    return length != 0 && length <= small_block_bytes ? small_block_bytes : length;
}

// Storage of storage_capacity(length) bytes; null for 0.
uint8_t* allocate_storage(uint32_t length) {
    if (length == 0) return nullptr;
    auto& s = text_store();
    const uint32_t capacity = storage_capacity(length);
    uint8_t* storage = capacity == small_block_bytes && s.small_block_count > 0
                           ? s.small_blocks[--s.small_block_count]
                           : storage_or_fail<uint8_t, storage_kind::text_storage>(capacity);
    s.storage_in_use += capacity;
    return storage;
}

void free_storage(text_value* text) {
    if (!text->literal && text->bytes != nullptr) {
        auto& s = text_store();
        if (text->capacity == small_block_bytes && s.small_block_count < kept_small_blocks) {
            s.small_blocks[s.small_block_count++] = text->bytes;
        } else {
            give_back_storage(text->bytes);
        }
        s.storage_in_use -= text->capacity;
    }
    text->bytes = nullptr;
    text->length = 0;
    text->capacity = 0;
    text->literal = false;
}

// A text value record, taken from the released ones when there are any.
text_value* new_record() {
    auto& s = text_store();
    if (!s.released_values.empty()) {
        text_value* text = s.released_values.back();
        s.released_values.pop_back();
        *text = text_value{};
        return text;
    }
    return new_or_fail<text_value, storage_kind::text_register>();
}

void give_back_record(text_value* text) {
    auto& s = text_store();
    allocate_or_fail<storage_kind::released_list>([&] { s.released_values.push_back(text); });
}

void add_temporary(text_value* text) {
    text->temporary = true;
    auto& s = text_store();
    allocate_or_fail<storage_kind::temporary_list>([&] { s.temporaries.push_back(text); });
}

// A temporary given up before its statement ends: its storage goes now, its record
// when the statement's temporaries are released.
void release_early(text_value* text) {
    free_storage(text);
    text->released = true;
}

void reserve(text_value* target, uint32_t length) {
    if (target->literal || target->capacity < length) {
        uint8_t* storage = allocate_storage(length);
        free_storage(target);
        target->bytes = storage;
        target->capacity = storage_capacity(length);
    }
}

}  // namespace

text_value* new_string(uint32_t length, bool temporary) {
    text_value* text = new_record();
    text->bytes = allocate_storage(length);
    if (length != 0) std::memset(text->bytes, 0, length);
    text->length = length;
    text->capacity = storage_capacity(length);
    if (temporary) add_temporary(text);
    return text;
}

text_value* temp_string_literal(const void* bytes, uint32_t length) {
    text_value* text = new_record();
    text->bytes = const_cast<uint8_t*>(static_cast<const uint8_t*>(bytes));
    text->length = length;
    text->literal = true;
    add_temporary(text);
    return text;
}

text_value* temp_string_cstr(const char* bytes) {
    return temp_string_literal(bytes, static_cast<uint32_t>(std::strlen(bytes)));
}

void assign_bytes(text_value* target, const uint8_t* bytes, uint32_t length) {
    reserve(target, length);
    if (length != 0) std::memmove(target->bytes, bytes, length);
    target->length = length;
}

void assign_string(text_value* target, text_value* source) {
    if (target == source) return;
    if (source->temporary && !source->literal && !source->released) {
        free_storage(target);
        target->bytes = source->bytes;
        target->length = source->length;
        target->capacity = source->capacity;
        source->bytes = nullptr;
        source->capacity = 0;
        source->length = 0;
        source->released = true;
        return;
    }
    assign_bytes(target, source->bytes, source->length);
}

text_value* concat_strings(text_value* left, text_value* right) {
    if (right->length == 0) return left;
    if (left->length == 0) return right;
    uint64_t total = uint64_t{left->length} + right->length;
    // A length that does not fit is no storage for the joined text.
    if (total > UINT32_MAX) raise_out_of_memory(storage_kind::text_storage);
    text_value* joined = new_string(static_cast<uint32_t>(total), true);
    std::memcpy(joined->bytes, left->bytes, left->length);
    std::memcpy(joined->bytes + left->length, right->bytes, right->length);
    if (left->temporary) release_early(left);
    if (right->temporary) release_early(right);
    return joined;
}

void free_string(text_value* text) {
    if (text == nullptr) return;
    if (text->temporary) {
        release_early(text);
        return;
    }
    free_storage(text);
    give_back_record(text);
}

int32_t strings_equal(const text_value* left, const text_value* right) {
    if (left->length != right->length) return 0;
    if (left->length != 0 && std::memcmp(left->bytes, right->bytes, left->length) != 0) return 0;
    return -1;
}

text_value* integer_to_text(int64_t value) {
    char digits[24];
    int count = 0;
    // Work on the magnitude as unsigned so that the most negative value is safe.
    uint64_t magnitude = value < 0 ? uint64_t{0} - static_cast<uint64_t>(value)
                                   : static_cast<uint64_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    text_value* text = new_string(static_cast<uint32_t>(count + 1), true);
    text->bytes[0] = value < 0 ? '-' : ' ';
    for (int i = 0; i < count; ++i) text->bytes[1 + i] = static_cast<uint8_t>(digits[count - 1 - i]);
    return text;
}

uint32_t temp_string_count() { return static_cast<uint32_t>(text_store().temporaries.size()); }

int64_t release_temp_strings(uint32_t mark, int64_t value) {
    auto& s = text_store();
    while (s.temporaries.size() > mark) {
        text_value* text = s.temporaries.back();
        s.temporaries.pop_back();
        free_storage(text);
        give_back_record(text);
    }
    return value;
}

const text_value& empty_text() {
    static const text_value empty{};
    return empty;
}

void* alloc_static_value(uint32_t size) {
    uint8_t* storage = storage_or_fail<uint8_t, storage_kind::static_values>(size);
    std::memset(storage, 0, size);
    return storage;
}

uint64_t text_storage_in_use() { return text_store().storage_in_use; }
