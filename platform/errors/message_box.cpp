#include "message_box.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "box_key_hold.h"

extern char** environ;

namespace {

// THREADING: set by test code before the runtime's threads start; read by the
// thread that shows a box (the shell's, or the one that reports a critical error).
std::atomic<message_box_shower> current_shower{nullptr};

// xmessage's exit values for the buttons. It exits with 1 on its own errors, so
// no button may use 1; OK takes 0, as xmessage's own default button does.
constexpr int ok_exit_value = 0;
constexpr int yes_exit_value = 6;
constexpr int no_exit_value = 7;

// The box's line on standard error, built in fixed storage: this also reports
// running out of memory. A line longer than the storage goes out in pieces.
class standard_error_line {
public:
    void add(const char* text) {
        for (const char* at = text; *at != '\0'; ++at) {
            if (*at == '\n') {
                add("; ");
                continue;
            }
            if (length == sizeof bytes) flush();
            bytes[length++] = *at;
        }
    }
    // Ends the line and writes what is left, in one call when the line fits, so
    // that other writers do not tear it apart.
    void finish() {
        if (length == sizeof bytes) flush();
        bytes[length++] = '\n';
        flush();
    }

private:
    void flush() {
        size_t written = 0;
        while (written < length) {
            const ssize_t done = ::write(STDERR_FILENO, bytes + written, length - written);
            if (done < 0 && errno == EINTR) continue;
            if (done <= 0) break;
            written += size_t(done);
        }
        length = 0;
    }

    char bytes[1024];
    size_t length = 0;
};

void write_to_standard_error(const message_box& box) {
    standard_error_line line;
    line.add("morvane: ");
    line.add(box.title);
    line.add(": ");
    line.add(box.text);
    line.finish();
}

}  // namespace

void set_message_box_shower(message_box_shower shower) {
    current_shower.store(shower, std::memory_order_release);
}

box_answer show_message_box(const message_box& box) {
    hold_window_keys();
    message_box_shower shower = current_shower.load(std::memory_order_acquire);
    box_answer answer = shower != nullptr ? shower(box) : show_xmessage_box(box);
    if (answer == box_answer::none) write_to_standard_error(box);
    return answer;
}

box_answer show_xmessage_box(const message_box& box) {
    // xmessage has no modal mode and no owner window: it is a window of its own
    // on the same display, and the calling thread waits for it.
    const bool yes_no = box.buttons == box_buttons::yes_no;
    char program[] = "xmessage";
    char title_option[] = "-title";
    char buttons_option[] = "-buttons";
    char yes_no_buttons[] = "Yes:6,No:7";
    char ok_button[] = "OK:0";
    char default_option[] = "-default";
    char yes_default[] = "Yes";
    char ok_default[] = "OK";
    char center_option[] = "-center";
    char* argv[12];
    int count = 0;
    argv[count++] = program;
    argv[count++] = title_option;
    argv[count++] = const_cast<char*>(box.title);
    argv[count++] = buttons_option;
    argv[count++] = yes_no ? yes_no_buttons : ok_button;
    // Return answers with the default button, as the first button of a box would.
    argv[count++] = default_option;
    argv[count++] = yes_no ? yes_default : ok_default;
    argv[count++] = center_option;
    argv[count++] = const_cast<char*>(box.text);
    argv[count] = nullptr;

    // The box program starts with no signal blocked, whatever the calling
    // thread blocks (the main-loop thread blocks SIGFPE).
    posix_spawnattr_t attributes;
    if (::posix_spawnattr_init(&attributes) != 0) return box_answer::none;
    sigset_t no_signals;
    sigemptyset(&no_signals);
    ::posix_spawnattr_setsigmask(&attributes, &no_signals);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, program, nullptr, &attributes, argv, environ);
    ::posix_spawnattr_destroy(&attributes);
    if (spawned != 0) return box_answer::none;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return box_answer::none;
    }
    if (!WIFEXITED(status)) return box_answer::none;
    const int code = WEXITSTATUS(status);
    if (yes_no && code == yes_exit_value) return box_answer::yes;
    if (yes_no && code == no_exit_value) return box_answer::no;
    if (!yes_no && code == ok_exit_value) return box_answer::ok;
    return box_answer::none;
}
