// Number text: decimal digits read as a single-precision value, and a value written as text.
#pragma once

#include <cstddef>
#include <string_view>

// The value that atof gives the text (digits with at most one "."), rounded to single
// precision: out of double's range, infinity for a large number and zero for a small one.
float numberValue(std::string_view text);

// Room for the text of any value: "-1.17549e-38" takes 12 bytes.
inline constexpr std::size_t kValueTextSize = 16;

// The text that the stream's default format gives a value (printf's "%g": six significant
// digits, trailing zeros dropped, the exponent form below 0.0001 and from 1e+06 on), written
// into `text`; but "nan" for every not-a-number, whose sign bit comes from the CPU and the C
// library that made it (x86 sets it, ARM and s390x do not), not from the expression.
std::string_view valueText(float value, char (&text)[kValueTextSize]);
