#include "run_flags.h"

run_flags& flags() {
    // Never destroyed: the threads read the flags until the process ends.
    static run_flags* the_flags = new run_flags;
    return *the_flags;
}
