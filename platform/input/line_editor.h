// The line editor's steps as input_variables takes them, apart from its key
// wait: start, one one-byte key, end. Benchmarks and the soak drive them directly.
#pragma once
#include <cstdint>
#include <memory>

#include "answer_check.h"
#include "input_entry.h"
#include "runtime_allocator.h"
#include "text_screen.h"

// The state of one input: the answer line and what it needs to rebuild the
// screen after a take-back. Invariant: answer_line is the accepted line, and the
// variable holds its field's value.
struct line_editor {
    using screen_copy = std::unique_ptr<text_screen, storage_delete<text_screen>>;

    input_entry entry;
    runtime_vector<uint8_t, storage_kind::answer_line> answer_line;
    int pending_blanks = 0;  // blanks a Tab still feeds in, 0..8
    screen_copy saved_screen;
    screen_copy scratch_screen;
    int16_t start_column = 1;
    int16_t start_row = 1;
    bool start_wrap_pending = false;
    bool saved_cursor_visible = false;
};

// Takes the screen copies and the cursor state of the runtime's screen, shows
// the cursor, empties the variable and accepts the empty line.
void start_line_editor(line_editor& editor, const input_entry& entry);

// Handles one one-byte key; true when Enter ended the answer. A Tab only sets
// pending_blanks: the caller feeds those in as blanks.
bool handle_line_key(line_editor& editor, uint8_t b);

// Ends the line when asked and gives the cursor its saved visibility back.
void end_line_editor(line_editor& editor, bool end_line);
