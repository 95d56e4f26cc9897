#include "x_key_watch.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "key_down.h"
#include "window_keys.h"

bool x_key_watch::open() {
    display = XOpenDisplay(nullptr);
    return display != nullptr;
}

int x_key_watch::connection_fd() const {
    return display ? ConnectionNumber(display) : -1;
}

bool x_key_watch::has_queued_events() const {
    return display && XEventsQueued(display, QueuedAlready) > 0;
}

void x_key_watch::watch(Window program_window) {
    window = program_window;
    XSelectInput(display, window, KeyPressMask);
    int opcode = 0, event_base = 0, error_base = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (XkbQueryExtension(display, &opcode, &event_base, &error_base, &major, &minor))
        alt_mask = XkbKeysymToModifiers(display, XK_Alt_L);
    if (alt_mask == 0)
        alt_mask = Mod1Mask;
    // The server has taken the selection when this returns: no key pressed
    // from now on is missed.
    XSync(display, False);
}

void x_key_watch::handle_events() {
    if (!display)
        return;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        // A changed keymap (XKB keeps its own copy up to date by itself).
        if (event.type == MappingNotify)
            XRefreshKeyboardMapping(&event.xmapping);
        if (event.type != KeyPress || event.xkey.window != window)
            continue;
        // Only the keysym is used: it has Shift, Caps Lock and Num Lock applied,
        // while the text would have Ctrl applied as well.
        KeySym keysym = NoSymbol;
        char text[8];
        XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
        key_down(press_from_x_key(keysym, modifiers_from_x_state(event.xkey.state, alt_mask)));
    }
    XFlush(display);
}

void x_key_watch::take_in_every_key() {
    if (!display)
        return;
    XSync(display, False);
    handle_events();
}
