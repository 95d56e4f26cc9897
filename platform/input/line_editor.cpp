#include "line_editor.h"

#include "screen_lock.h"

namespace {

void empty_variable(const input_entry& entry) {
    if (entry.type_code & text_type_code) {
        assign_bytes(static_cast<text_value*>(entry.variable), nullptr, 0);
    } else {
        *static_cast<int16_t*>(entry.variable) = 0;
    }
}

// Checks the whole line; a valid one is stored in the variable at once.
bool accept_line(line_editor& editor) {
    answer_check check = check_answer_line(editor.answer_line, editor.entry.type_code);
    if (!check.valid) return false;
    if (editor.entry.type_code & text_type_code) {
        assign_bytes(static_cast<text_value*>(editor.entry.variable),
                     editor.answer_line.data() + check.field_start, check.field_length);
    } else {
        *static_cast<int16_t*>(editor.entry.variable) = static_cast<int16_t>(check.number);
    }
    return true;
}

// The screen as it was when the input started, with the answer line echoed again
// on the scratch screen, wraps and scrolls included, then copied back.
void rebuild_screen(line_editor& editor) {
    text_screen& scratch = *editor.scratch_screen;
    {
        screen_guard guard;
        scratch = *editor.saved_screen;
    }
    move_cursor(scratch, editor.start_column, editor.start_row, editor.start_wrap_pending);
    text_value echo{editor.answer_line.data(), static_cast<uint32_t>(editor.answer_line.size()), 0,
                    false, true, false};
    print_text(scratch, echo, false);
    screen_guard guard;
    text_screen& screen = the_screen();
    screen.cells = scratch.cells;
    move_cursor(screen, scratch.cursor_column, scratch.cursor_row, scratch.wrap_pending);
}

void take_back(line_editor& editor) {
    if (editor.answer_line.empty()) return;
    editor.answer_line.pop_back();
    rebuild_screen(editor);
    if (!accept_line(editor)) take_back(editor);
}

void echo_byte(uint8_t b) {
    text_value one{&b, 1, 0, false, true, false};
    print_text(one, false);
}

void append_byte(line_editor& editor, uint8_t b) {
    allocate_or_fail<storage_kind::answer_line>([&] { editor.answer_line.push_back(b); });
    echo_byte(b);
    if (!accept_line(editor)) take_back(editor);
}

bool is_ignored_byte(uint8_t b) { return (b >= 10 && b <= 12) || (b >= 28 && b <= 31); }

void set_cursor_visible(bool visible) {
    screen_guard guard;
    the_screen().cursor_visible = visible;
}

}  // namespace

void start_line_editor(line_editor& editor, const input_entry& entry) {
    editor.entry = entry;
    editor.saved_screen.reset(new_or_fail<text_screen, storage_kind::first_screen_copy>());
    editor.scratch_screen.reset(new_or_fail<text_screen, storage_kind::second_screen_copy>());
    {
        screen_guard guard;
        const text_screen& screen = the_screen();
        *editor.saved_screen = screen;
        editor.start_column = screen.cursor_column;
        editor.start_row = screen.cursor_row;
        editor.start_wrap_pending = screen.wrap_pending;
        editor.saved_cursor_visible = screen.cursor_visible;
    }
    set_cursor_visible(true);
    empty_variable(editor.entry);
    accept_line(editor);
}

bool handle_line_key(line_editor& editor, uint8_t b) {
    switch (b) {
        case 13:
            return true;
        case 8:
            take_back(editor);
            return false;
        case 9:
            editor.pending_blanks = 8 - static_cast<int>(editor.answer_line.size() % 8);
            return false;
        case 7:
            echo_byte(7);
            return false;
        default:
            if (!is_ignored_byte(b)) append_byte(editor, b);
            return false;
    }
}

void end_line_editor(line_editor& editor, bool end_line) {
    if (end_line) print_text(empty_text(), true);
    set_cursor_visible(editor.saved_cursor_visible);
}
