#include "screen_lock.h"

namespace {
thread_local int guard_depth = 0;
}

short_lock& screen_mutex() {
    static short_lock* lock = new short_lock;
    return *lock;
}

screen_guard::screen_guard() {
    if (guard_depth++ == 0) screen_mutex().lock();
}

screen_guard::~screen_guard() {
    if (--guard_depth == 0) screen_mutex().unlock();
}

void screen_unlock_while(const std::function<void()>& wait) {
    if (guard_depth == 0) {
        wait();
        return;
    }
    screen_mutex().unlock();
    wait();
    screen_mutex().lock();
}
