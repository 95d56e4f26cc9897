#include "display_layout.h"

#include <algorithm>
#include <cstdint>

#include "frame_pixels.h"

display_mode mode_from_number(uint32_t number) {
    return number <= uint32_t(display_mode::aspect_kept_smooth) ? display_mode(number)
                                                                 : display_mode::windowed;
}

bool is_full_screen(display_mode mode) {
    return mode != display_mode::windowed;
}

picture_place place_picture(display_mode mode, int window_width, int window_height) {
    window_width = std::max(window_width, 1);
    window_height = std::max(window_height, 1);
    const bool smooth = mode == display_mode::stretched_smooth || mode == display_mode::aspect_kept_smooth;
    if (mode != display_mode::aspect_kept && mode != display_mode::aspect_kept_smooth)
        return {0, 0, window_width, window_height, smooth};

    // Scale by the smaller of the two ratios, in integers: the side that limits
    // the picture fills the window, the other is rounded down.
    int width = window_width;
    int height = window_height;
    if (int64_t(window_width) * frame_height > int64_t(window_height) * frame_width)
        width = int(int64_t(window_height) * frame_width / frame_height);
    else
        height = int(int64_t(window_width) * frame_height / frame_width);
    width = std::max(width, 1);
    height = std::max(height, 1);
    return {(window_width - width) / 2, (window_height - height) / 2, width, height, smooth};
}
