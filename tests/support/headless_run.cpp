#include "headless_run.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "display_copy.h"
#include "key_buffer.h"
#include "screen_lock.h"
#include "text_screen.h"

namespace {

int message_fd = -1;  // the child's end of the message pipe

void write_all(int fd, const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written <= 0) return;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
}

void send_message(char kind, const std::string& body) {
    uint32_t length = static_cast<uint32_t>(body.size());
    write_all(message_fd, &kind, 1);
    write_all(message_fd, &length, sizeof length);
    write_all(message_fd, body.data(), body.size());
}

screen_rows_text rows_of(const std::array<uint8_t, screen_cell_count * 2>& cells) {
    screen_rows_text rows;
    for (int row = 0; row < screen_rows; ++row) {
        std::string text(screen_columns, ' ');
        for (int column = 0; column < screen_columns; ++column) {
            text[column] = static_cast<char>(cells[(row * screen_columns + column) * 2]);
        }
        rows.push_back(text);
    }
    return rows;
}

screen_rows_text rows_of(const display_frame& frame) { return rows_of(frame.cells); }

// The runtime's text screen as it stands, taken under the screen lock.
screen_rows_text live_screen() {
    screen_guard guard;
    return rows_of(the_screen().cells);
}

void send_rows(const screen_rows_text& rows) {
    std::string body;
    for (const auto& row : rows) body += row;
    send_message('C', body);
}

// How long the driver waits for room in the key buffer (type), and for the key
// buffer to empty and the screen to hold still (settle). An input takes a key
// every 10 ms and a display pass comes about every 32 ms.
constexpr auto driver_wait_limit = std::chrono::seconds(5);

class driver_front_end : public front_end {
public:
    explicit driver_front_end(const std::function<void(run_driver&)>& drive) : drive_(drive) {}
    void run() override {
        run_driver driver;
        drive_(driver);
        ::close(message_fd);
    }

private:
    const std::function<void(run_driver&)>& drive_;
};

}  // namespace

void run_driver::press(const key_press& p) { key_down(p); }

void run_driver::type(const std::string& bytes) {
    for (char c : bytes) {
        const auto deadline = std::chrono::steady_clock::now() + driver_wait_limit;
        while (waiting_key_count() >= key_buffer_slots - 1) {
            if (std::chrono::steady_clock::now() > deadline) {
                fail("type: the key buffer stayed full for 5 s");
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        key_down(character_press(static_cast<uint8_t>(c)));
    }
}

screen_rows_text run_driver::screen() {
    display_frame frame{};
    if (!take_display_frame(frame, 0)) return screen_rows_text(screen_rows, std::string(screen_columns, ' '));
    return rows_of(frame);
}

bool run_driver::wait_for(const std::function<bool(const screen_rows_text&)>& condition,
                          std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition(screen())) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    note("timed out waiting for the screen");
    capture();
    return false;
}

bool run_driver::wait_for_text(const std::string& text, std::chrono::milliseconds limit) {
    return wait_for(
        [&](const screen_rows_text& rows) {
            for (const auto& row : rows) {
                if (row.find(text) != std::string::npos) return true;
            }
            return false;
        },
        limit);
}

void run_driver::settle() {
    const auto deadline = std::chrono::steady_clock::now() + driver_wait_limit;
    while (waiting_key_count() > 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            fail("settle: " + std::to_string(waiting_key_count()) + " keys still wait in the key buffer after 5 s");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    display_frame frame{};
    take_display_frame(frame, 0);
    screen_rows_text last = rows_of(frame);
    for (int same = 0; same < 4;) {
        const uint64_t serial = frame.serial;
        while (!take_display_frame(frame, serial)) {
            if (std::chrono::steady_clock::now() > deadline) {
                fail("settle: no new display frame, or the screen did not hold still, within 5 s");
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        screen_rows_text now = rows_of(frame);
        same = now == last ? same + 1 : 0;
        last = now;
    }
}

void run_driver::capture() { send_rows(screen()); }

void run_driver::capture_until_exit() {
    screen_rows_text sent = live_screen();
    send_rows(sent);
    display_frame frame{};
    uint64_t serial = take_display_frame(frame, 0) ? frame.serial : 0;
    for (;;) {
        if (take_display_frame(frame, serial)) {
            serial = frame.serial;
            send_rows(rows_of(frame));
        }
        screen_rows_text now = live_screen();
        if (now != sent) {
            sent = now;
            send_rows(sent);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::optional<screen_rows_text> run_driver::next_screen(std::chrono::milliseconds limit) {
    display_frame frame{};
    const uint64_t seen = take_display_frame(frame, 0) ? frame.serial : 0;
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!take_display_frame(frame, seen)) {
        if (std::chrono::steady_clock::now() > deadline) {
            note("timed out waiting for a new display frame");
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return rows_of(frame);
}

bool run_driver::capture_next_frame(std::chrono::milliseconds limit) {
    std::optional<screen_rows_text> rows = next_screen(limit);
    if (!rows) return false;
    send_rows(*rows);
    return true;
}

void run_driver::note(const std::string& text) { send_message('N', text); }

void run_driver::fail(const std::string& text) {
    std::string body = text + "\nthe newest display frame:\n";
    const screen_rows_text rows = screen();
    for (int row = 1; row <= screen_rows; ++row) {
        const std::string line = row_text(rows, row);
        if (!line.empty()) body += std::to_string(row) + ": " + line + "\n";
    }
    send_message('F', body);
}

run_result run_headless(shell_routine routine, const std::function<void(run_driver&)>& drive,
                        std::chrono::milliseconds limit, const std::function<void()>& before_start) {
    int messages[2];
    int errors[2];
    if (::pipe(messages) != 0 || ::pipe(errors) != 0) return {};
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = ::fork();
    if (child == 0) {
        ::close(messages[0]);
        ::close(errors[0]);
        ::dup2(errors[1], 2);
        ::close(errors[1]);
        message_fd = messages[1];
        if (before_start) before_start();
        driver_front_end front(drive);
        char name[] = "morvane";
        char* argv[] = {name, nullptr};
        run_console(1, argv, routine, front);
    }
    ::close(messages[1]);
    ::close(errors[1]);

    run_result result;
    std::string received;
    auto deadline = std::chrono::steady_clock::now() + limit;
    bool messages_open = true;
    bool errors_open = true;
    while (messages_open || errors_open) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            break;
        }
        pollfd fds[2] = {{messages_open ? messages[0] : -1, POLLIN, 0}, {errors_open ? errors[0] : -1, POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(left.count())) <= 0) continue;
        char buffer[8192];
        for (int i = 0; i < 2; ++i) {
            if (fds[i].revents == 0) continue;
            ssize_t got = ::read(i == 0 ? messages[0] : errors[0], buffer, sizeof buffer);
            if (got <= 0) {
                (i == 0 ? messages_open : errors_open) = false;
                continue;
            }
            (i == 0 ? received : result.error_output).append(buffer, static_cast<size_t>(got));
        }
    }
    int status = 0;
    if (result.timed_out) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    } else {
        // Both pipes closed: the child has exited or is about to.
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                result.timed_out = true;
                ::kill(child, SIGKILL);
                ::waitpid(child, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ::close(messages[0]);
    ::close(errors[0]);
    if (!result.timed_out && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);

    size_t at = 0;
    while (at + 5 <= received.size()) {
        char kind = received[at];
        uint32_t length;
        std::memcpy(&length, received.data() + at + 1, sizeof length);
        if (at + 5 + length > received.size()) break;
        std::string body = received.substr(at + 5, length);
        at += 5 + length;
        if (kind == 'C') {
            screen_rows_text rows;
            for (int row = 0; row < screen_rows; ++row) rows.push_back(body.substr(row * screen_columns, screen_columns));
            result.captures.push_back(rows);
        } else if (kind == 'F') {
            ADD_FAILURE() << "the run's driver: " << body;
        } else {
            result.notes.push_back(body);
        }
    }
    return result;
}

std::string row_text(const screen_rows_text& screen, int row) {
    std::string text = screen.at(static_cast<size_t>(row - 1));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string padded(const std::string& text) {
    std::string row = text;
    row.resize(screen_columns, ' ');
    return row;
}
