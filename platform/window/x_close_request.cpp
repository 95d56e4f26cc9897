#include "x_close_request.h"

// Xlib's extension interface: XESetWireToEvent replaces the function that turns
// an event off the wire into an XEvent; a false result drops the event.
#include <X11/Xlibint.h>

#include "key_down.h"

namespace {

// THREADING: set once on the window thread before the hook is installed; the
// hook runs inside Xlib calls on that same thread.
Display* guarded_display = nullptr;
Atom delete_window_atom = None;
Bool (*convert_client_message)(Display*, XEvent*, xEvent*) = nullptr;

Bool on_client_message(Display* display, XEvent* event, xEvent* wire) {
    if (!convert_client_message(display, event, wire))
        return False;
    const XClientMessageEvent& message = event->xclient;
    // freeglut looks only at the first data word, so every message that carries
    // WM_DELETE_WINDOW there is dropped.
    if (display == guarded_display && message.format == 32 && Atom(message.data.l[0]) == delete_window_atom) {
        request_close();
        return False;
    }
    return True;
}

}  // namespace

void intercept_close_requests(Display* glut_display) {
    guarded_display = glut_display;
    delete_window_atom = XInternAtom(glut_display, "WM_DELETE_WINDOW", False);
    convert_client_message = XESetWireToEvent(glut_display, ClientMessage, on_client_message);
}
