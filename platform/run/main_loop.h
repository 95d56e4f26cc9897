// The runtime's main-loop thread and timer thread.
#pragma once

// Each pass: an arithmetic exception caught by its handler or sent to this
// thread (its box is shown here, and the process ends with code 1), then the
// close request; sleeps of 15 ms and 1 ms; the display copy on every second pass
// (the other passes do nothing more, and the cursor's blink counts the copies);
// the finished program. Ends the process through the end sequence, whose wait
// for the shell and timer threads also ends once an arithmetic exception has
// parked a thread. Runs on a thread born with SIGFPE blocked.
[[noreturn]] void run_main_loop();

// Tests the stop request every 1 ms; marks its end in threads_done.
void run_timer_thread();
