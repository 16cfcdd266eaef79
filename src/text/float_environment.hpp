// What the compiler's floating-point evaluation allows the calculator's shortcuts to assume.
#pragma once

#include <cfloat>

// Whether a double division is rounded to double. On x87 (FLT_EVAL_METHOD 2) it is carried out
// in 80-bit registers, and the conversion to float then rounds that straight to single
// precision, skipping the rounding to double: one number in a few million would come out one
// float away from atof's.
inline constexpr bool kDoubleDivisionRounds = FLT_EVAL_METHOD == 0 || FLT_EVAL_METHOD == 1;

// Whether float arithmetic is carried out in single precision, each result rounded as it is
// made. On x87 (FLT_EVAL_METHOD 2) a result may stay in an 80-bit register until it is stored,
// and when it is read again depends on how the code holds it.
inline constexpr bool kFloatArithmeticRounds = FLT_EVAL_METHOD == 0;
