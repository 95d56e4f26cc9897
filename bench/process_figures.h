// Figures of a process read from /proc: resident memory and CPU time, for the
// window figures. The frame-cost programs also report their frames on standard
// output, one line: "frames N cpu_seconds S seconds T rss_kib R".
#pragma once
#include <dirent.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

// Resident memory of a process in KiB (VmRSS), 0 when unknown.
inline long resident_kib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        long value = 0;
        if (key == "VmRSS:" && status >> value) return value;
    }
    return 0;
}

// CPU seconds of the process's threads; with drawing_only, of those that draw
// frames: the initial thread, where freeglut and GL run, and the GL driver's
// rasterizer threads (named llvmpipe-N).
inline double threads_cpu_seconds(pid_t pid, bool drawing_only) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr) return 0;
    double seconds = 0;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const std::string task = tasks + "/" + entry->d_name;
        std::string name;
        std::getline(std::ifstream(task + "/comm"), name);
        bool drawing = std::to_string(pid) == entry->d_name || name.rfind("llvmpipe", 0) == 0;
        if (drawing_only && !drawing) continue;
        uint64_t on_cpu_ns = 0;
        std::ifstream(task + "/schedstat") >> on_cpu_ns;
        seconds += double(on_cpu_ns) * 1e-9;
    }
    closedir(dir);
    return seconds;
}

inline void print_frame_figures(uint64_t frames, double cpu_seconds, double seconds) {
    std::printf("frames %llu cpu_seconds %.6f seconds %.3f rss_kib %ld\n", static_cast<unsigned long long>(frames),
                cpu_seconds, seconds, resident_kib(getpid()));
    std::fflush(stdout);
}
