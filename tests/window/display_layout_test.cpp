// Where the picture goes in the window in each mode of the Alt+Enter cycle.
#include <gtest/gtest.h>

#include "display_layout.h"

TEST(display_layout, picture_place_per_mode_and_window_size) {
    struct layout_case {
        display_mode mode;
        int window_width, window_height;
        picture_place expected;
    };
    const layout_case cases[] = {
        // windowed: one pixel per font pixel in the 640 x 400 window
        {display_mode::windowed, 640, 400, {0, 0, 640, 400, false}},
        // stretched: the whole screen, whatever its shape
        {display_mode::stretched, 1280, 1024, {0, 0, 1280, 1024, false}},
        {display_mode::stretched_smooth, 1920, 1080, {0, 0, 1920, 1080, true}},
        // aspect kept: 16:10 scaled until one side fills, centred on the other
        {display_mode::aspect_kept, 1280, 1024, {0, 112, 1280, 800, false}},   // width limits
        {display_mode::aspect_kept, 1920, 1080, {96, 0, 1728, 1080, false}},   // height limits
        {display_mode::aspect_kept_smooth, 1280, 800, {0, 0, 1280, 800, true}}, // exact 2x
        {display_mode::aspect_kept, 1366, 768, {69, 0, 1228, 768, false}},     // rounded down, centred
        {display_mode::aspect_kept, 1, 1, {0, 0, 1, 1, false}},                // never empty
    };
    for (const layout_case& c : cases) {
        const picture_place place = place_picture(c.mode, c.window_width, c.window_height);
        SCOPED_TRACE("mode " + std::to_string(int(c.mode)) + " in " + std::to_string(c.window_width) + "x" +
                     std::to_string(c.window_height));
        EXPECT_EQ(place.x, c.expected.x);
        EXPECT_EQ(place.y, c.expected.y);
        EXPECT_EQ(place.width, c.expected.width);
        EXPECT_EQ(place.height, c.expected.height);
        EXPECT_EQ(place.smooth, c.expected.smooth);
    }
}

TEST(display_layout, cycle_numbers_past_the_last_mode_count_as_windowed) {
    EXPECT_EQ(mode_from_number(4), display_mode::aspect_kept_smooth);
    EXPECT_EQ(mode_from_number(5), display_mode::windowed);
    EXPECT_FALSE(is_full_screen(mode_from_number(0)));
    EXPECT_TRUE(is_full_screen(mode_from_number(1)));
}
