#include "glut_window.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <poll.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "display_copy.h"
#include "display_layout.h"
#include "frame_pixels.h"
#include "key_down.h"
#include "run_flags.h"
#include "window_keys.h"
#include "x_close_request.h"
#include "x_key_watch.h"

namespace {

constexpr const char* window_title = "Untitled";
constexpr int tick_milliseconds = 16;  // the loop looks for a new frame about 60 times a second
// The picture goes into the corner of a power-of-two texture, so no GL extension
// for other sizes is needed.
constexpr int texture_width = 1024;
constexpr int texture_height = 512;

// Everything the window thread keeps between freeglut's callbacks.
// Invariant: set up in run() before the first callback; frame is the newest frame
// taken and the texture shows it, shown_serial is its serial (0 before the
// first), applied_mode the mode the window is in, window_width/height its size
// as last reshaped; window_open is set once the window and its GL are ready.
// THREADING: the window thread only. It is never freed, so a process exit from
// another thread finds nothing half torn down.
struct window_state {
    display_frame frame{};
    frame_picture picture;
    uint64_t shown_serial = 0;
    GLuint texture = 0;
    display_mode applied_mode = display_mode::windowed;
    int window_width = frame_width;
    int window_height = frame_height;
    Display* glut_display = nullptr;
    x_key_watch key_watch;
    bool window_open = false;
};

window_state* the_state = nullptr;

[[noreturn]] void fail_to_open(const char* reason) {
    std::fprintf(stderr, "morvane: cannot open the window: %s\n", reason);
    exit_process(1);
}

// freeglut's fatal errors: at start-up the window cannot be had; later the
// window has failed. Either way the run cannot go on without it.
void on_glut_error(const char* format, va_list arguments) {
    std::fprintf(stderr, the_state && the_state->window_open ? "morvane: the window failed: "
                                                             : "morvane: cannot open the window: ");
    std::vfprintf(stderr, format, arguments);
    std::fprintf(stderr, "\n");
    exit_process(1);
}

// Xlib's own handler would exit() with the other threads still running.
int on_display_lost(Display*) {
    std::fprintf(stderr, "morvane: the connection to the X display was lost\n");
    exit_process(1);
}

void upload_picture(const frame_picture& picture) {
    glBindTexture(GL_TEXTURE_2D, the_state->texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // 0x00RRGGBB words are B, G, R, 0 in memory on every byte order with this pair.
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frame_width, frame_height, GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, picture.pixels.data());
}

void on_display() {
    window_state& state = *the_state;
    glViewport(0, 0, state.window_width, state.window_height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    const picture_place place = place_picture(state.applied_mode, state.window_width, state.window_height);
    // GL counts viewport rows from the bottom.
    glViewport(place.x, state.window_height - place.y - place.height, place.width, place.height);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, state.texture);
    const GLint filter = place.smooth ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);

    // Texture row 0 is the picture's top row.
    const float right = float(frame_width) / texture_width;
    const float bottom = float(frame_height) / texture_height;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, 1);
    glTexCoord2f(right, 0), glVertex2f(1, 1);
    glTexCoord2f(right, bottom), glVertex2f(1, -1);
    glTexCoord2f(0, bottom), glVertex2f(-1, -1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glutSwapBuffers();
}

void on_reshape(int width, int height) {
    the_state->window_width = width > 0 ? width : 1;
    the_state->window_height = height > 0 ? height : 1;
    glutPostRedisplay();
}

void on_keyboard(unsigned char key, int, int) {
    // Character codes as freeglut gives them: Ctrl+letter as 1..26, Delete as 127;
    // the key table turns these into entries.
    key_down(character_press(key, modifiers_from_glut(glutGetModifiers())));
}

void on_special(int key, int, int) {
    if (auto press = press_from_glut_special(key, modifiers_from_glut(glutGetModifiers())))
        key_down(*press);
}

// Follows the Alt+Enter cycle: full screen on entering any full-screen mode,
// back to a 640 x 400 window at the top left on leaving them.
void apply_display_mode(display_mode wanted) {
    window_state& state = *the_state;
    if (wanted == state.applied_mode)
        return;
    const bool was_full_screen = is_full_screen(state.applied_mode);
    state.applied_mode = wanted;
    if (is_full_screen(wanted) && !was_full_screen) {
        glutFullScreen();
    } else if (!is_full_screen(wanted) && was_full_screen) {
        glutLeaveFullScreen();
        glutReshapeWindow(frame_width, frame_height);
        glutPositionWindow(0, 0);
    }
    glutPostRedisplay();
}

// True when two frames give the same picture.
bool same_picture(const display_frame& a, const display_frame& b) {
    if (a.cells != b.cells || a.cursor_drawn != b.cursor_drawn)
        return false;
    return !a.cursor_drawn || (a.cursor_column == b.cursor_column && a.cursor_row == b.cursor_row);
}

// Takes the newest display frame into the texture and redraws, unless the run
// is paused (the window then keeps the picture it had) or the frame looks just
// like the one shown (an idle screen then costs no drawing).
void take_new_frame() {
    window_state& state = *the_state;
    if (flags().program_paused.load(std::memory_order_acquire) != 0)
        return;
    display_frame newest;
    if (!take_display_frame(newest, state.shown_serial))
        return;
    const bool unchanged = state.shown_serial != 0 && same_picture(newest, state.frame);
    state.frame = newest;
    state.shown_serial = newest.serial;
    if (unchanged)
        return;
    draw_frame(state.frame, state.picture);
    upload_picture(state.picture);
    glutPostRedisplay();
}

// Sleeps until either connection has something to read or the tick is over.
void wait_for_events() {
    window_state& state = *the_state;
    XFlush(state.glut_display);
    if (XEventsQueued(state.glut_display, QueuedAlready) > 0 || state.key_watch.has_queued_events())
        return;
    pollfd watched[2] = {
        {ConnectionNumber(state.glut_display), POLLIN, 0},
        {state.key_watch.connection_fd(), POLLIN, 0},
    };
    poll(watched, 2, tick_milliseconds);
}

// _NET_WM_PID, which freeglut leaves out: lets a window manager, or a test, tell
// this program's window from others of the same title.
void set_window_pid(Display* display, Window window) {
    const long pid = long(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
}

void create_window(int& argc, char** argv) {
    glutInitErrorFunc(on_glut_error);
    glutInit(&argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    if (!glutGet(GLUT_DISPLAY_MODE_POSSIBLE))
        fail_to_open("the display offers no double-buffered RGB mode");
    glutInitWindowSize(frame_width, frame_height);
    // Without a window manager freeglut would put the window at (-1, -1), partly
    // off the screen.
    glutInitWindowPosition(0, 0);
    glutCreateWindow(window_title);

    the_state->glut_display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (!the_state->glut_display || window == 0)
        fail_to_open("no GL context on the new window");
    intercept_close_requests(the_state->glut_display);
    set_window_pid(the_state->glut_display, window);
    the_state->key_watch.watch(window);

    if (glewInit() != GLEW_OK)
        fail_to_open("the GL entry points cannot be loaded");
    if (!GLEW_VERSION_1_2)
        fail_to_open("the GL driver is older than 1.2");
}

void create_texture() {
    glGenTextures(1, &the_state->texture);
    glBindTexture(GL_TEXTURE_2D, the_state->texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture_width, texture_height, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    // Black until the first display frame arrives.
    upload_picture(the_state->picture);
}

}  // namespace

void glut_window::run() {
    XSetIOErrorHandler(on_display_lost);
    the_state = new window_state;
    if (!the_state->key_watch.open()) {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name)
            fail_to_open("no X display (DISPLAY is not set)");
        std::fprintf(stderr, "morvane: cannot open the window: cannot open the X display \"%s\"\n", name);
        exit_process(1);
    }
    static char program_name[] = "morvane";
    static char* arguments[] = {program_name, nullptr};
    int argument_count = 1;
    create_window(argument_count, arguments);
    create_texture();
    the_state->window_open = true;

    glutDisplayFunc(on_display);
    glutReshapeFunc(on_reshape);
    glutKeyboardFunc(on_keyboard);
    glutSpecialFunc(on_special);

    for (;;) {
        the_state->key_watch.handle_events();
        apply_display_mode(mode_from_number(flags().display_mode.load(std::memory_order_acquire)));
        take_new_frame();
        glutMainLoopEvent();
        wait_for_events();
    }
}
