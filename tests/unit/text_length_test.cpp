// A joined text longer than any text value can be ends the run as no storage
// for it would: the critical error "Out of memory" of a text value's bytes.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdio>

#include "message_box.h"
#include "text_value.h"

namespace {

box_answer print_box(const message_box& box) {
    std::fprintf(stderr, "title=%s text=%s\n", box.title, box.text);
    return box_answer::ok;
}

TEST(text_length, joining_past_the_longest_text_shows_critical_error_12_and_ends_with_1) {
    // 2^31 readable bytes that take no memory: joined with themselves they are
    // one byte past the longest text, 2^32 - 1 bytes.
    constexpr uint32_t half = uint32_t{1} << 31;
    void* bytes = mmap(nullptr, half, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(bytes, MAP_FAILED);
    EXPECT_EXIT(
        {
            set_message_box_shower(print_box);
            text_value* half_text = temp_string_literal(bytes, half);
            concat_strings(half_text, half_text);
        },
        testing::ExitedWithCode(1), "^title=Critical Error #12 text=Out of memory\n$");
    munmap(bytes, half);
}

}  // namespace
