// The whole program in its real window, on the X display in $DISPLAY (scripts/bench
// starts a private Xvfb): idle CPU at a prompt, resident memory, memory growth in
// the prank loop, start to the first prompt in the pixels, a key sent with xdotool
// to its echo in the pixels, a key at "Press any key to continue" to the exit;
// and the window's frame cost against a minimal freeglut program in the same run.
// Prints the figures as bench's table rows.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cp437_font.h"
#include "figure_table.h"
#include "process_figures.h"
#include "x_window_probe.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using std::chrono::steady_clock;

constexpr uint32_t light_grey = 0xAAAAAA;
constexpr uint32_t black = 0x000000;
constexpr auto generous = 20s;  // bound on every wait for the window

double seconds_since(steady_clock::time_point start) {
    return std::chrono::duration<double>(steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A program started without a shell, its standard output read through a pipe.
class program_run {
public:
    program_run(const std::string& path, const std::vector<std::string>& arguments) {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> words{path};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output_fd_ = out[0];
    }
    ~program_run() {
        if (pid_ != 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_fd_ >= 0) close(output_fd_);
    }
    pid_t id() const { return pid_; }

    // Waits for the exit; its code, or nothing when it did not end in time.
    std::optional<int> wait_for_exit(std::chrono::milliseconds limit) {
        auto end = steady_clock::now() + limit;
        while (pid_ != 0) {
            int status = 0;
            pid_t done = waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                pid_ = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (done < 0 || steady_clock::now() > end) return std::nullopt;
            std::this_thread::sleep_for(1ms);
        }
        return std::nullopt;
    }
    std::string output() {
        std::string text;
        char buffer[512];
        ssize_t got;
        while ((got = read(output_fd_, buffer, sizeof buffer)) > 0) text.append(buffer, size_t(got));
        return text;
    }

private:
    pid_t pid_ = 0;
    int output_fd_ = -1;
};

// Whether the window's pixels show the text at row and column (1-based). Reads
// back only the text's cells, so that a look costs little against the delays
// measured with it.
bool window_shows(const x_probe& probe, Window window, int row, int column, const std::string& text) {
    const int width = int(text.size()) * glyph_width;
    XImage* image = XGetImage(probe.display(), window, (column - 1) * glyph_width, (row - 1) * glyph_height,
                              unsigned(width), glyph_height, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    // A 24-bit true-colour visual: a pixel's value is its 0xRRGGBB.
    bool shown = image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    for (size_t i = 0; shown && i < text.size(); ++i) {
        const glyph_rows& glyph = cp437_glyphs[uint8_t(text[i])];
        for (int y = 0; shown && y < glyph_height; ++y) {
            for (int x = 0; shown && x < glyph_width; ++x) {
                bool lit = glyph[size_t(y)] & (0x80 >> x);
                uint32_t pixel = uint32_t(XGetPixel(image, int(i) * glyph_width + x, y)) & 0xFFFFFF;
                shown = pixel == (lit ? light_grey : black);
            }
        }
    }
    XDestroyImage(image);
    return shown;
}

// Polls the window until it shows the text; the seconds since start, or nothing.
std::optional<double> wait_until_shown(const x_probe& probe, Window window, int row, int column,
                                       const std::string& text, steady_clock::time_point start) {
    auto end = steady_clock::now() + generous;
    while (steady_clock::now() < end) {
        if (window_shows(probe, window, row, column, text)) return seconds_since(start);
        std::this_thread::sleep_for(1ms);
    }
    return std::nullopt;
}

struct started_program {
    std::unique_ptr<program_run> run;
    Window window = 0;
    double start_to_prompt = 0;
};

// Starts the program and waits for its first prompt in the window's pixels.
std::optional<started_program> start_program(const x_probe& probe) {
    started_program started;
    auto start = steady_clock::now();
    started.run = std::make_unique<program_run>(MORVANE_PATH, std::vector<std::string>{});
    auto end = start + generous;
    while (!started.window && steady_clock::now() < end) {
        started.window = probe.find_window("Untitled", started.run->id());
        if (!started.window) std::this_thread::sleep_for(1ms);
    }
    if (!started.window) return std::nullopt;
    std::optional<double> shown = wait_until_shown(probe, started.window, 1, 1, "enter your Name: ", start);
    if (!shown) return std::nullopt;
    started.start_to_prompt = *shown;
    return started;
}

// Types letters, dots and Enter (as \r) into the window with xdotool.
bool type_text(Window window, const std::string& text) {
    std::vector<std::string> arguments{"windowfocus", "--sync", std::to_string(window), "key", "--delay", "20"};
    for (char c : text) arguments.push_back(c == '\r' ? "Return" : c == '.' ? "period" : std::string(1, c));
    return run_xdotool(arguments) == 0;
}

void report(const std::string& what) { std::fprintf(stderr, "window figures: %s\n", what.c_str()); }

// Idle CPU, memory, start to prompt and key to echo, in one run at the first prompt.
void prompt_figures(const x_probe& probe, std::vector<figure>& figures, long minimal_rss_kib) {
    std::optional<started_program> started = start_program(probe);
    if (!started) return report("the program's first prompt did not appear");
    figures.push_back({"start to the first prompt in the window's pixels", started->start_to_prompt, 0.300, "s",
                       figure::rule::at_most, 1.0});
    pid_t pid = started->run->id();

    std::this_thread::sleep_for(1s);
    double cpu_before = threads_cpu_seconds(pid, false);
    double drawing_before = threads_cpu_seconds(pid, true);
    auto idle_start = steady_clock::now();
    std::this_thread::sleep_for(10s);
    double idle_seconds = seconds_since(idle_start);
    double idle_share = (threads_cpu_seconds(pid, false) - cpu_before) / idle_seconds;
    double drawing_share = (threads_cpu_seconds(pid, true) - drawing_before) / idle_seconds;
    figures.push_back({"CPU while a prompt waits, 10 s", idle_share * 100, 2.0, "% core", figure::rule::at_most, 1.0});
    figures.push_back({"  of it: window thread and GL driver threads (the cursor's blink frames)", drawing_share * 100,
                       idle_share * 100, "% core", figure::rule::part_of});
    figures.push_back({"  of it: the runtime's polling threads (1 ms timer, 10 ms keys, 16 ms passes)",
                       (idle_share - drawing_share) * 100, idle_share * 100, "% core", figure::rule::part_of});
    double rss = resident_kib(pid) / 1024.0;
    figures.push_back({"resident memory at the prompt", rss, 40.0, "MiB", figure::rule::at_most, 1.0});
    if (minimal_rss_kib > 0) {
        figures.push_back({"  of it: what a minimal freeglut program holds (same GL driver)", minimal_rss_kib / 1024.0,
                           rss, "MiB", figure::rule::part_of});
    }

    // One key at a time, each from xdotool's start to the byte in the pixels.
    run_xdotool({"windowfocus", "--sync", std::to_string(started->window)});
    std::vector<double> echoes, xdotool_runs, read_backs;
    for (int i = 0; i < 21; ++i) {
        auto sent = steady_clock::now();
        run_xdotool({"key", "a"});
        xdotool_runs.push_back(seconds_since(sent));
        std::optional<double> shown = wait_until_shown(probe, started->window, 1, 18 + i, "a", sent);
        if (!shown) return report("a typed key's echo did not appear");
        echoes.push_back(*shown);
        auto read_back = steady_clock::now();
        window_shows(probe, started->window, 1, 18 + i, "a");
        read_backs.push_back(seconds_since(read_back));
    }
    double echo = median(echoes);
    figures.push_back({"xdotool key to its echo in the pixels, median of 21", echo, 0.060, "s", figure::rule::at_most,
                       1.0});
    figures.push_back({"  of it: xdotool's own run, start to exit", median(xdotool_runs), echo, "s",
                       figure::rule::part_of});
    figures.push_back({"  of it: one read-back of the echoed cell", median(read_backs), echo, "s",
                       figure::rule::part_of});
    probe.send_close_request(started->window);
    started->run->wait_for_exit(5s);
}

// Resident memory over 10 s of the prank page's endless loop.
void prank_loop_figures(const x_probe& probe, std::vector<figure>& figures) {
    std::optional<started_program> started = start_program(probe);
    if (!started) return report("the program's first prompt did not appear");
    if (!type_text(started->window, "Ann\r\rZodeZozo\ryouareanidiot.org\r")) return report("xdotool failed");
    if (!wait_until_shown(probe, started->window, 24, 1, "youareanidiot hahahahahahah!", steady_clock::now()) &&
        !wait_until_shown(probe, started->window, 23, 1, "youareanidiot hahahahahahah!", steady_clock::now())) {
        return report("the prank loop did not show");
    }
    pid_t pid = started->run->id();
    std::this_thread::sleep_for(1s);
    long before = resident_kib(pid);
    std::this_thread::sleep_for(10s);
    long growth = resident_kib(pid) - before;
    figures.push_back({"resident memory growth over 10 s of the prank loop", growth * 1024.0, 2 * 4096.0, "B",
                       figure::rule::at_most, 1.0});
    probe.send_close_request(started->window);
    started->run->wait_for_exit(5s);
}

// From the key at "Press any key to continue" to the process's exit.
void end_of_run_figures(const x_probe& probe, std::vector<figure>& figures) {
    std::vector<double> exits;
    for (int run = 0; run < 5; ++run) {
        std::optional<started_program> started = start_program(probe);
        if (!started) return report("the program's first prompt did not appear");
        if (!type_text(started->window, "Ann\r\rnone\r")) return report("xdotool failed");
        if (!wait_until_shown(probe, started->window, 25, 1, "Press any key to continue", steady_clock::now()))
            return report("the end of the run did not show");
        auto sent = steady_clock::now();
        run_xdotool({"key", "x"});
        if (!started->run->wait_for_exit(generous)) return report("the program did not exit after the key");
        exits.push_back(seconds_since(sent));
    }
    figures.push_back({"key at \"Press any key to continue\" to exit, median of 5", median(exits), 0.250, "s",
                       figure::rule::at_most, 1.0});
}

struct frame_figures {
    double cpu_per_frame = 0;
    double frames_per_second = 0;
    long rss_kib = 0;
};

// Runs a frame-cost program and reads its line of figures.
std::optional<frame_figures> run_frame_program(const std::string& path, double seconds) {
    program_run run(path, {std::to_string(seconds)});
    std::optional<int> code = run.wait_for_exit(std::chrono::milliseconds(int((seconds + 20) * 1000)));
    std::istringstream line(run.output());
    std::string word;
    uint64_t frames = 0;
    double cpu = 0, measured = 0;
    long rss = 0;
    line >> word >> frames >> word >> cpu >> word >> measured >> word >> rss;
    if (!code || *code != 0 || frames == 0) return std::nullopt;
    return frame_figures{cpu / double(frames), double(frames) / measured, rss};
}

// The real window's CPU per frame against the minimal program's, runs taken in
// turn so that both meet the same machine.
long window_frame_figures(std::vector<figure>& figures) {
    std::vector<double> real, minimal, real_rate, minimal_rate;
    long minimal_rss = 0;
    for (int round = 0; round < 2; ++round) {
        auto r = run_frame_program(WINDOW_FRAME_COST_PATH, 4);
        auto m = run_frame_program(MINIMAL_GLUT_FRAMES_PATH, 4);
        if (!r || !m) {
            report("a frame-cost program failed");
            return 0;
        }
        real.push_back(r->cpu_per_frame);
        real_rate.push_back(r->frames_per_second);
        minimal.push_back(m->cpu_per_frame);
        minimal_rate.push_back(m->frames_per_second);
        minimal_rss = m->rss_kib;
    }
    char label[160];
    std::snprintf(label, sizeof label, "window frame CPU vs minimal freeglut upload+draw (%.0f vs %.0f frames/s)",
                  median(real_rate), median(minimal_rate));
    figures.push_back({label, median(real), median(minimal), "s", figure::rule::at_most, 1.5});
    return minimal_rss;
}

}  // namespace

int main() {
    x_probe probe;
    if (probe.display() == nullptr) {
        std::fprintf(stderr, "window figures: no X display in $DISPLAY\n");
        return 1;
    }
    std::vector<figure> figures;
    long minimal_rss = window_frame_figures(figures);
    prompt_figures(probe, figures, minimal_rss);
    prank_loop_figures(probe, figures);
    end_of_run_figures(probe, figures);
    for (const figure& f : figures) print_figure(f);
    return 0;
}
