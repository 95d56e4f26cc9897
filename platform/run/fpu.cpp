#include "fpu.h"

#include <cstdint>

void reset_fpu() {
#if defined(__x86_64__) || defined(__i386__)
    const uint16_t control_word = 0x037F;
    __asm__ volatile("fldcw %0" : : "m"(control_word));
#endif
}
