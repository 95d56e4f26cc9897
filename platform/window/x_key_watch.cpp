#include "x_key_watch.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "window_keys.h"

namespace {
constexpr uint32_t caps_lock_bit = 1;
constexpr uint32_t num_lock_bit = 2;
}  // namespace

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

    int opcode = 0, error_base = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (XkbQueryExtension(display, &opcode, &xkb_event_base, &error_base, &major, &minor)) {
        num_lock_mask = XkbKeysymToModifiers(display, XK_Num_Lock);
        alt_mask = XkbKeysymToModifiers(display, XK_Alt_L);
        const unsigned long details = XkbModifierStateMask | XkbModifierLockMask;
        XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, details, details);
        XkbStateRec state{};
        if (XkbGetState(display, XkbUseCoreKbd, &state) == Success)
            report_keyboard_state(state.locked_mods, state.base_mods);
    } else {
        xkb_event_base = -1;
    }
    if (alt_mask == 0)
        alt_mask = Mod1Mask;
    XFlush(display);
}

key_modifiers x_key_watch::modifiers_from_x_state(unsigned state) const {
    return key_modifiers{(state & ShiftMask) != 0, (state & ControlMask) != 0, (state & alt_mask) != 0};
}

void x_key_watch::report_keyboard_state(unsigned locked_modifiers, unsigned held_modifiers) {
    uint32_t lock_bits = 0;
    if (locked_modifiers & LockMask)
        lock_bits |= caps_lock_bit;
    if (num_lock_mask != 0 && (locked_modifiers & num_lock_mask))
        lock_bits |= num_lock_bit;
    // Only a change of the locks is reported, with the modifiers held as it
    // happened: the runtime polls the report now and then, and by then the Ctrl
    // of a Ctrl+Num Lock may already be up again.
    if (reported && lock_bits == last_lock_bits)
        return;
    reported = true;
    last_lock_bits = lock_bits;
    report_lock_states(lock_bits, modifiers_from_x_state(held_modifiers));
}

void x_key_watch::handle_events() {
    if (!display)
        return;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress && event.xkey.window == window) {
            KeySym keysym = NoSymbol;
            char text[8];
            XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
            if (auto press = press_from_x_keysym(keysym, modifiers_from_x_state(event.xkey.state)))
                key_down(*press);
        } else if (xkb_event_base >= 0 && event.type == xkb_event_base + XkbEventCode) {
            const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
            if (xkb.any.xkb_type == XkbStateNotify)
                report_keyboard_state(xkb.state.locked_mods, xkb.state.base_mods);
        }
    }
    XFlush(display);
}
