// Blocking message boxes: the error dialog and the critical-error boxes.
#pragma once

enum class box_buttons {
    yes_no,  // Yes and No, Yes the default
    ok,      // OK alone
};

enum class box_answer {
    none,  // the box could not be shown, or was closed without a button
    ok,
    yes,
    no,
};

// One box as the runtime asks for it.
struct message_box {
    const char* title;
    const char* text;
    box_buttons buttons;
    // Whether the box is meant to hold the whole display until it is answered:
    // set for the error dialog and the immediate critical boxes, clear for a
    // reported critical error. The xmessage box has no modal mode and cannot
    // honour it; the tests' recorder reads it to check which kind was asked for.
    bool system_modal;
};

// Shows the box on the calling thread and waits until it is answered. The box
// owns the window: the window's keys are held before it appears, and stay held
// until the caller gives them back with release_window_keys (box_key_hold.h),
// which a caller that ends the process after the box never does. A box that
// gives no answer is told on standard error as one line, "morvane: ", its
// title, ": " and its text with each line break made "; ", so that no failure
// goes unseen.
box_answer show_message_box(const message_box& box);

// What shows a box: the X11 dialog program by default, a recorder in tests.
using message_box_shower = box_answer (*)(const message_box& box);

// Replaces what shows boxes (null restores the X11 dialog). Test code only, set
// before the runtime's threads start.
void set_message_box_shower(message_box_shower shower);

// The box as an xmessage window, started without a shell and waited for; its exit
// code is the answer.
box_answer show_xmessage_box(const message_box& box);
