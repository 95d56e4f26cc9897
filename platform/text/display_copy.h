// The display copy: the only thing that crosses from the text screen to the window.
#pragma once
#include <array>
#include <cstdint>

#include "text_screen.h"

// One picture's worth of the text screen, as a display pass found it.
struct display_frame {
    std::array<uint8_t, screen_cell_count * 2> cells;  // character, attribute
    int16_t cursor_column;   // 1..80
    int16_t cursor_row;      // 1..25
    bool cursor_drawn;       // cursor visible and in the "on" half of its blink
    uint64_t serial;         // rises with every display pass; 0 before the first
};

// Main-loop thread: copy the whole screen for the window. The cursor blinks with
// the passes: drawn during 8 passes, left out during the next 8. A pass that
// waits for a lock which a thread parked by an arithmetic exception may hold for
// good gives up and publishes nothing.
void publish_display_frame(const text_screen& screen);

// Any thread: the newest frame. Returns false when no frame newer than
// last_serial has been published since.
bool take_display_frame(display_frame& frame, uint64_t last_serial = 0);
