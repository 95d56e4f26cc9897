// Morvane: the shell routine in the console runtime's window.
#include "console_runtime.h"
#include "glut_window.h"
#include "run_shell.h"

int main(int argc, char** argv) {
    glut_window window;
    run_console(argc, argv, run_shell, window);
}
