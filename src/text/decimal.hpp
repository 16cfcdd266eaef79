// Decimal number text to float: the value atof gives the text, converted to single precision.
#pragma once

#include <cstdint>
#include <string_view>

// The rule: atof of the text (digits with at most one "."), converted to float.
float atofValue(std::string_view text);

// The same value for the digits of the text as one integer and how many of them follow the
// point, computed by one exact division where that gives atof's result, by atof otherwise.
float decimalValue(std::uint64_t digits, int places, std::string_view text);

// The same value of the text alone, its digits gathered here; texts with 20 or more
// significant digits go to atof at once.
float numberValue(std::string_view text);
