// Float to text: the text that the stream gives a float in its default format.
#pragma once

#include <cstddef>

// Room for any text of formatFloat: a sign, six digits, a point and an exponent ("-1.17549e-38")
// or a point and up to nine places ("-0.000123457") take at most 12 bytes.
inline constexpr std::size_t kFloatTextSize = 16;

// Writes the text that the stream gives a float in its default format (printf's "%g": six
// significant digits, trailing zeros dropped, exponent form below 0.0001 and from 1e+06 on),
// except that every not-a-number is "nan", whatever its sign bit. Returns the end of the text,
// which has no terminator.
char* formatFloat(float value, char* text);
