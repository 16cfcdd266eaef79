// Decimal number text to float, as atof reads it, with an exact shortcut for short numbers.
#include "text/decimal.hpp"

#include <cstdlib>
#include <string>

#include "text/float_environment.hpp"

namespace {

// The text of a number for atof, which needs its terminator; its storage is reused.
std::string numberText;

// The powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPlaces = 22;
constexpr std::uint64_t kMaxExactDigits = std::uint64_t{1} << 53;

}  // namespace

float atofValue(std::string_view text) {
  numberText.assign(text);
  return static_cast<float>(std::atof(numberText.c_str()));
}

// When the digits form an integer of at most 53 bits and at most 22 of them follow the point,
// both operands of the division are exact doubles, so its one rounding gives the nearest
// double, as atof does, in a fraction of its time; other texts, and every text where double
// arithmetic is not rounded to double, go to atof itself.
float decimalValue(std::uint64_t digits, int places, std::string_view text) {
  if constexpr (!kDoubleDivisionRounds) return atofValue(text);
  if (digits > kMaxExactDigits || places > kMaxExactPlaces) return atofValue(text);
  // Dividing by 10^0 = 1 is exact: an integer needs no division, which is slow.
  if (places == 0) return static_cast<float>(static_cast<double>(digits));
  return static_cast<float>(static_cast<double>(digits) / kExactPowersOfTen[places]);
}

float numberValue(std::string_view text) {
  std::uint64_t digits = 0;
  int significant = 0;
  int places = 0;
  bool afterPoint = false;
  for (const char c : text) {
    if (c == '.') {
      afterPoint = true;
      continue;
    }
    if (significant == 19) return atofValue(text);
    digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    if (digits != 0) ++significant;
    if (afterPoint) ++places;
  }
  return decimalValue(digits, places, text);
}
