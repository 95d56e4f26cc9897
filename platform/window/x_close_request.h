// The window manager's close message, kept away from freeglut: freeglut destroys
// its window on WM_DELETE_WINDOW whatever it is told, and the window must stay up
// until the process ends.
#pragma once
#include <X11/Xlib.h>

// On freeglut's connection: every WM_DELETE_WINDOW client message is turned into
// request_close() as Xlib reads it off the wire, and never reaches the event
// queue, so freeglut cannot see it however it reads its events. Window thread,
// once, after the window exists.
void intercept_close_requests(Display* glut_display);
