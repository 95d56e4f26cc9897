// Where the 640 x 400 picture goes in the window for each display mode of the
// Alt+Enter cycle, and whether it is smoothed. Pure; no graphics calls.
#pragma once
#include <cstdint>

// The display modes, in the order Alt+Enter steps through them.
enum class display_mode : uint32_t {
    windowed = 0,             // a 640 x 400 window, one pixel per font pixel
    stretched = 1,            // full screen, stretched to the whole screen
    stretched_smooth = 2,     // the same, smoothed
    aspect_kept = 3,          // full screen, aspect ratio kept, centred
    aspect_kept_smooth = 4,   // the same, smoothed
};

// A rectangle in window pixels, x from the left and y from the top.
// Invariant: width and height are at least 1 and lie within the window.
struct picture_place {
    int x;
    int y;
    int width;
    int height;
    bool smooth;  // linear filtering rather than nearest pixel
};

// Any mode number past the cycle counts as windowed.
display_mode mode_from_number(uint32_t number);
bool is_full_screen(display_mode mode);

// The picture's rectangle in a window of the given size (each at least 1). Windowed
// and stretched fill the window; the aspect-kept modes scale 640 x 400 as far as
// the window allows and centre it, the rest of the window staying black.
picture_place place_picture(display_mode mode, int window_width, int window_height);
