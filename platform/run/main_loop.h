// The runtime's main-loop thread and timer thread.
#pragma once

// Each pass: an arithmetic exception caught by its handler (its box is shown
// here, and the process ends with code 1), then the close request; sleeps of
// 15 ms and 1 ms; the display copy on every second pass (the other passes do
// nothing more, and the cursor's blink counts the copies); the finished program.
// Ends the process through the end sequence.
[[noreturn]] void run_main_loop();

// Tests the stop request every 1 ms; marks its end in threads_done.
void run_timer_thread();
