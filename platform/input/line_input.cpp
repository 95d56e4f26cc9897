#include "line_input.h"

#include <chrono>
#include <thread>

#include "key_buffer.h"
#include "line_editor.h"
#include "run_flags.h"

namespace {
constexpr auto key_poll_interval = std::chrono::milliseconds(10);
}

input_entry* input_list() {
    static input_entry entries[input_list_size + 1];
    return entries;
}

void input_variables(int32_t count, bool end_line) {
    if (error_is_pending() || count < 1) return;
    line_editor editor;
    start_line_editor(editor, input_list()[1]);

    uint32_t mark = temp_string_count();
    for (;;) {
        uint8_t key_byte = 0;
        bool have_key = false;
        if (editor.pending_blanks > 0) {
            --editor.pending_blanks;
            key_byte = blank_byte;
            have_key = true;
        } else {
            std::this_thread::sleep_for(key_poll_interval);
            text_value* key = read_key();
            have_key = key->length == 1;
            if (have_key) key_byte = key->bytes[0];
            release_temp_strings(mark, 0);
        }
        if (stop_is_requested()) return;
        if (!have_key) continue;
        if (handle_line_key(editor, key_byte)) break;
    }
    end_line_editor(editor, end_line);
}

void input_variable(const input_entry& entry, bool end_line) {
    input_list()[1] = entry;
    input_variables(1, end_line);
}
