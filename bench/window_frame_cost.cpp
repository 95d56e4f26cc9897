// The real window's frame cost: the console runtime and its freeglut window, with
// a routine that changes the text screen faster than the display passes copy it,
// so that every pass brings the window a new picture to draw. The link wraps
// glutSwapBuffers, and the window's copy of a changed part, to count the frames.
// Prints its figures and closes the window.
//   window_frame_cost SECONDS
#include <GL/glx.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "console_runtime.h"
#include "glut_window.h"
#include "key_down.h"
#include "park_and_exit.h"
#include "process_figures.h"
#include "text_screen.h"

extern "C" void __real_glutSwapBuffers();
extern "C" __GLXextFuncPtr __real_glXGetProcAddressARB(const GLubyte* name);
namespace {
std::atomic<uint64_t> frames_drawn{0};
PFNGLXCOPYSUBBUFFERMESAPROC real_copy_sub_buffer = nullptr;

// A changed part copied to the window is a frame as well.
void counted_copy_sub_buffer(Display* display, GLXDrawable drawable, int x, int y, int width, int height) {
    frames_drawn.fetch_add(1, std::memory_order_relaxed);
    real_copy_sub_buffer(display, drawable, x, y, width, height);
}
}  // namespace
extern "C" void __wrap_glutSwapBuffers() {
    frames_drawn.fetch_add(1, std::memory_order_relaxed);
    __real_glutSwapBuffers();
}
extern "C" __GLXextFuncPtr __wrap_glXGetProcAddressARB(const GLubyte* name) {
    __GLXextFuncPtr function = __real_glXGetProcAddressARB(name);
    if (function == nullptr || std::strcmp(reinterpret_cast<const char*>(name), "glXCopySubBufferMESA") != 0)
        return function;
    real_copy_sub_buffer = reinterpret_cast<PFNGLXCOPYSUBBUFFERMESAPROC>(function);
    return reinterpret_cast<__GLXextFuncPtr>(counted_copy_sub_buffer);
}

namespace {

using namespace std::chrono_literals;

double measured_seconds = 5;

// A new numbered line every 8 ms: the screen scrolls and no two passes agree.
void print_numbered_line(uint64_t number) {
    std::string line = "frame cost line " + std::to_string(number);
    text_value text{reinterpret_cast<uint8_t*>(line.data()), static_cast<uint32_t>(line.size()), 0, false, true, false};
    print_text(text, true);
}

void changing_screen() {
    uint64_t number = 0;
    auto print_for = [&](std::chrono::duration<double> how_long) {
        auto end = std::chrono::steady_clock::now() + how_long;
        while (std::chrono::steady_clock::now() < end) {
            print_numbered_line(number++);
            std::this_thread::sleep_for(8ms);
        }
    };
    print_for(1.5s);  // the window opens and settles
    uint64_t frames_at_start = frames_drawn.load();
    double cpu_at_start = threads_cpu_seconds(getpid(), true);
    print_for(std::chrono::duration<double>(measured_seconds));
    print_frame_figures(frames_drawn.load() - frames_at_start, threads_cpu_seconds(getpid(), true) - cpu_at_start,
                        measured_seconds);
    request_close();
    halt_program_thread();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) measured_seconds = std::atof(argv[1]);
    glut_window window;
    run_console(argc, argv, changing_screen, window);
}
