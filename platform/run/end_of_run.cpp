#include "end_of_run.h"

#include <chrono>
#include <thread>

#include "key_buffer.h"
#include "park_and_exit.h"
#include "run_flags.h"
#include "text_screen.h"

namespace {
constexpr auto end_wait_step = std::chrono::milliseconds(100);
constexpr char end_prompt[] = "Press any key to continue";
}  // namespace

void close_files() {}

void end_program() {
    close_files();
    // The one text screen is the one on display.
    int rows = screen_rows;
    set_view_print(rows, rows, true);
    print_text(empty_text(), true);
    uint32_t mark = temp_string_count();
    text_value* prompt = temp_string_literal(end_prompt, sizeof end_prompt - 1);
    print_text(*prompt, false);
    release_temp_strings(mark, 0);
    // Keys typed ahead are lost; a fresh key press is needed.
    for (;;) {
        text_value* key = read_key();
        bool empty = key->length == 0;
        release_temp_strings(mark, 0);
        if (empty) break;
        std::this_thread::yield();
    }
    for (;;) {
        std::this_thread::sleep_for(end_wait_step);
        if (stop_is_requested()) halt_program_thread();
        text_value* key = read_key();
        bool empty = key->length == 0;
        release_temp_strings(mark, 0);
        if (!empty) break;
    }
    flags().program_finished.store(1, std::memory_order_release);
    halt_program_thread();
}
