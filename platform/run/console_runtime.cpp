#include "console_runtime.h"

#include <chrono>
#include <thread>

#include "error_dialog.h"
#include "key_buffer.h"
#include "main_loop.h"
#include "run_flags.h"
#include "text_screen.h"

void run_console(int argc, char** argv, shell_routine routine, front_end& window) {
    set_program_path(argc > 0 ? argv[0] : "");
    the_screen();
    key_buffer();
    flags();
    std::thread(routine).detach();
    std::thread(run_main_loop).detach();
    std::thread(run_timer_thread).detach();
    window.run();
    // A front end that returns leaves the process to the main-loop thread.
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}
