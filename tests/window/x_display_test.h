// The fixture every window test stands on: an X display from $DISPLAY with a
// probe on it, and the keyboard's lock states left off for the tests after.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "x_window_probe.h"

class x_display_test : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        ASSERT_TRUE(display && *display)
            << "DISPLAY is not set: the window tests need an X server (scripts/test starts a private Xvfb)";
        probe = std::make_unique<x_probe>();
        ASSERT_NE(probe->display(), nullptr) << "cannot open the X display " << display;
    }

    // The display is shared with the tests that come after: leave Caps Lock and
    // Num Lock off as they were.
    void TearDown() override {
        if (!probe || !probe->display())
            return;
        const uint32_t locks = probe->lock_states();
        if (locks & 1)
            run_xdotool({"key", "Caps_Lock"});
        if (locks & 2)
            run_xdotool({"key", "Num_Lock"});
    }

    std::unique_ptr<x_probe> probe;
};
