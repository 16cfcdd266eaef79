// Float to text as printf's "%g" writes it, from the float's bits, in integer arithmetic.
#include "text/float_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t kPowersOfTen[] = {
    1,        10,        100,        1000,        10000,        100000,        1000000,
    10000000, 100000000, 1000000000, 10000000000, 100000000000, 1000000000000, 10000000000000};
constexpr std::uint64_t kSixDigits = 1000000;

// |value| = significand * 2^exponent2, the significand below 2^24 and, but for subnormals, at
// least 2^23. The six digits of |value| * 10^(5 - exponent10), cut (not rounded), and how the
// cut part compares with half a unit of the last digit (-1, 0 or 1): the exact quotient and
// remainder of a 64-bit division or shift. False when 64 bits cannot hold them.
bool cutDigits(std::uint64_t significand, int exponent2, int exponent10, std::uint64_t& digits,
               int& cutVersusHalf) {
  const int scale = 5 - exponent10;
  std::uint64_t numerator = significand;
  std::uint64_t denominator = 1;
  if (scale >= 0) {
    if (scale > 12) return false;
    numerator *= kPowersOfTen[scale];
  } else {
    if (-scale > 13) return false;
    denominator = kPowersOfTen[-scale];
  }
  // Both stay below 2^62, so that twice the remainder is still exact.
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 62;
  if (exponent2 >= 0) {
    if (exponent2 >= 62 || numerator >= kLimit >> exponent2) return false;
    numerator <<= exponent2;
  } else {
    if (-exponent2 >= 62 || denominator >= kLimit >> -exponent2) return false;
    denominator <<= -exponent2;
  }
  digits = numerator / denominator;
  const std::uint64_t cut = numerator % denominator;
  cutVersusHalf = (2 * cut > denominator) - (2 * cut < denominator);
  return true;
}

// The six significant digits of a finite nonzero |value|, rounded half to even as printf
// rounds them, and the decimal exponent of the first; false outside the 64-bit range
// (below about 1e-7 and from about 1e19 on).
bool sixSignificantDigits(float value, std::uint64_t& digits, int& exponent10) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>(bits >> 23 & 0xFF);
  if (biased == 0) return false;  // subnormal
  const std::uint64_t significand = (bits & 0x7FFFFF) | 0x800000;
  const int exponent2 = biased - 150;
  // 2^(exponent2 + 23) <= |value| < 2^(exponent2 + 24), so its decimal exponent is the floor
  // of (exponent2 + 23) * log10(2) or one more; (n * 78913) >> 18 is that floor for |n| < 1650.
  exponent10 = ((exponent2 + 23) * 78913) >> 18;
  int cutVersusHalf = 0;
  if (!cutDigits(significand, exponent2, exponent10, digits, cutVersusHalf)) return false;
  if (digits >= kSixDigits) {
    ++exponent10;
    if (!cutDigits(significand, exponent2, exponent10, digits, cutVersusHalf)) return false;
  }
  if (cutVersusHalf > 0 || (cutVersusHalf == 0 && digits % 2 == 1)) ++digits;
  if (digits == kSixDigits) {
    digits /= 10;
    ++exponent10;
  }
  return true;
}

// printf's %g with six significant digits: fixed form for exponents -4 to 5, exponent form
// otherwise, trailing zeros dropped and the point with them when no digit follows it.
char* writeSignificantDigits(std::uint64_t digits, int exponent10, char* text) {
  char digit[6];
  for (int i = 5; i >= 0; --i) {
    digit[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  int used = 6;
  while (digit[used - 1] == '0')
    --used;
  if (exponent10 < -4 || exponent10 > 5) {
    *text++ = digit[0];
    if (used > 1) {
      *text++ = '.';
      text = std::copy(digit + 1, digit + used, text);
    }
    *text++ = 'e';
    *text++ = exponent10 < 0 ? '-' : '+';
    const int magnitude = exponent10 < 0 ? -exponent10 : exponent10;
    *text++ = static_cast<char>('0' + magnitude / 10);
    *text++ = static_cast<char>('0' + magnitude % 10);
    return text;
  }
  if (exponent10 < 0) {
    *text++ = '0';
    *text++ = '.';
    text = std::fill_n(text, -exponent10 - 1, '0');
    return std::copy(digit, digit + used, text);
  }
  text = std::copy(digit, digit + exponent10 + 1, text);
  if (used > exponent10 + 1) {
    *text++ = '.';
    text = std::copy(digit + exponent10 + 1, digit + used, text);
  }
  return text;
}

}  // namespace

char* formatFloat(float value, char* text) {
  if (std::isnan(value)) {
    std::memcpy(text, "nan", 3);
    return text + 3;
  }
  std::uint64_t digits = 0;
  int exponent10 = 0;
  if (value != 0 && !std::isinf(value) && sixSignificantDigits(value, digits, exponent10)) {
    if (value < 0) *text++ = '-';
    return writeSignificantDigits(digits, exponent10, text);
  }
  // Zeros, infinities and the far ends of the range. Shortest-form conversion would give other
  // digits; with the general format and a precision the result is specified to be printf's.
  return std::to_chars(text, text + kFloatTextSize, static_cast<double>(value),
                       std::chars_format::general, 6)
      .ptr;
}
