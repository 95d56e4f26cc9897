// The arithmetic unit's set-up.
#pragma once

// Loads the x87 control word 0x037F: all six exceptions masked, 64-bit mantissa
// precision, rounding to nearest.
void reset_fpu();
