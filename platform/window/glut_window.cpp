#include "glut_window.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "box_key_hold.h"
#include "display_copy.h"
#include "display_layout.h"
#include "frame_pixels.h"
#include "park_and_exit.h"
#include "run_flags.h"
#include "x_close_request.h"
#include "x_key_watch.h"

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define MORVANE_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__) || defined(MORVANE_THREAD_SANITIZER)
// ThreadSanitizer: Mesa's software rasterizer (llvmpipe, in swrast_dri.so) runs
// threads of its own and synchronises them in ways the sanitizer cannot see, so
// it reports races on the driver's own fences. This program calls GL on the
// window's thread alone, so a race with a frame in the driver is the driver's.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }
#endif

namespace {

constexpr const char* window_title = "Untitled";
constexpr int tick_milliseconds = 16;  // the loop looks for a new frame about 60 times a second
// The picture goes into the corner of a power-of-two texture, so no GL extension
// for other sizes is needed.
constexpr int texture_width = 1024;
constexpr int texture_height = 512;

// Everything the window thread keeps between freeglut's callbacks.
// Invariant: set up in run() before the first callback; the texture shows the
// picture of frame, the last frame drawn, which is also the picture of the
// newest frame taken; shown_serial is that newest frame's serial (0 before the
// first); applied_mode the mode the window is in, window_width/height its size
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
    // glXCopySubBufferMESA when the GL offers it: a small change is redrawn into
    // the back buffer and only that rectangle copied to the window, which keeps
    // the rest of the picture. Null when the GL lacks it: every change then
    // redraws the whole window and swaps.
    PFNGLXCOPYSUBBUFFERMESAPROC copy_sub_buffer = nullptr;
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

// Puts a rectangle of the picture into the texture at the same place.
void upload_picture(const frame_picture& picture, const pixel_rect& part = whole_picture) {
    glBindTexture(GL_TEXTURE_2D, the_state->texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, frame_width);
    // 0x00RRGGBB words are B, G, R, 0 in memory on every byte order with this pair.
    glTexSubImage2D(GL_TEXTURE_2D, 0, part.x, part.y, part.width, part.height, GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV,
                    picture.pixels.data() + std::size_t(part.y) * frame_width + std::size_t(part.x));
}

// The texture's picture as one quad over the viewport.
void draw_picture_quad(const picture_place& place) {
    // GL counts viewport rows from the bottom.
    glViewport(place.x, the_state->window_height - place.y - place.height, place.width, place.height);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, the_state->texture);
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
}

void on_display() {
    window_state& state = *the_state;
    glViewport(0, 0, state.window_width, state.window_height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    draw_picture_quad(place_picture(state.applied_mode, state.window_width, state.window_height));
    glutSwapBuffers();
}

// Redraws only a changed part of the picture and copies it to the window, when
// the GL can copy a part, the part is small (a quarter of the picture at most;
// a bigger one is drawn whole) and the picture is shown at its own size (a
// scaled picture's smoothing reaches past the part). The whole part is drawn
// anew, so what the back buffer held outside it does not matter. False when it
// does not.
bool redraw_part(const pixel_rect& part) {
    window_state& state = *the_state;
    if (state.copy_sub_buffer == nullptr || part.width * part.height * 4 > frame_width * frame_height)
        return false;
    const picture_place place = place_picture(state.applied_mode, state.window_width, state.window_height);
    if (place.width != frame_width || place.height != frame_height)
        return false;
    const int x = place.x + part.x;
    const int y = state.window_height - place.y - part.y - part.height;
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, part.width, part.height);
    draw_picture_quad(place);
    glDisable(GL_SCISSOR_TEST);
    state.copy_sub_buffer(state.glut_display, glXGetCurrentDrawable(), x, y, part.width, part.height);
    return true;
}

void on_reshape(int width, int height) {
    the_state->window_width = width > 0 ? width : 1;
    the_state->window_height = height > 0 ? height : 1;
    glutPostRedisplay();
}

// key_down steps the flags' display_mode through display_mode_count numbers, and
// the window turns each number into one of its modes: the two lists are one.
static_assert(display_mode_count == uint32_t(display_mode::aspect_kept_smooth) + 1,
              "Alt+Enter must step through exactly the window's display modes");

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
    const bool first = state.shown_serial == 0;
    if (!first && same_picture(newest, state.frame)) {
        state.shown_serial = newest.serial;
        return;
    }
    const pixel_rect part = first ? whole_picture : changed_part(state.frame, newest);
    state.frame = newest;
    state.shown_serial = newest.serial;
    draw_frame(state.frame, state.picture);
    // Only the changed cells go into the texture; the rest of it shows them already.
    upload_picture(state.picture, part);
    // The first picture is drawn whole, over a back buffer that holds nothing yet.
    if (first || !redraw_part(part))
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
    // Keys are watched before the window can be told from others by its pid, so
    // that a client that waits for that (a test typing ahead) loses no key.
    the_state->key_watch.watch(window);
    set_window_pid(the_state->glut_display, window);

    if (glewInit() != GLEW_OK)
        fail_to_open("the GL entry points cannot be loaded");
    if (!GLEW_VERSION_1_2)
        fail_to_open("the GL driver is older than 1.2");

    const char* extensions =
        glXQueryExtensionsString(the_state->glut_display, DefaultScreen(the_state->glut_display));
    if (extensions != nullptr && std::strstr(extensions, "GLX_MESA_copy_sub_buffer") != nullptr) {
        the_state->copy_sub_buffer = reinterpret_cast<PFNGLXCOPYSUBBUFFERMESAPROC>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    }
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

    // Keys come from the key watch alone, so freeglut gets no keyboard callbacks.
    glutDisplayFunc(on_display);
    glutReshapeFunc(on_reshape);
    take_in_keys_on_request();

    for (;;) {
        // A message box has closed and the run goes on: first every key that
        // reached the window while the box was up, which key_down still drops.
        uint32_t intake = 0;
        if (key_intake_requested(intake)) {
            the_state->key_watch.take_in_every_key();
            finish_key_intake(intake);
        }
        the_state->key_watch.handle_events();
        apply_display_mode(mode_from_number(flags().display_mode.load(std::memory_order_acquire)));
        take_new_frame();
        glutMainLoopEvent();
        wait_for_events();
    }
}
