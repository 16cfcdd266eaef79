// Tests of number text to float: long digit runs and many places, each against atof.
#include "text/decimal.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/number_texts.hpp"

namespace {

float atofOf(const std::string& text) {
  return static_cast<float>(std::atof(text.c_str()));
}

// The digits of a text as one integer and how many follow the point, for decimalValue; only
// for texts whose digits fit 64 bits.
struct Digits {
  std::uint64_t value = 0;
  int places = 0;
};

Digits digitsOf(const std::string& text) {
  Digits digits;
  bool afterPoint = false;
  for (const char c : text) {
    if (c == '.') {
      afterPoint = true;
      continue;
    }
    digits.value = digits.value * 10 + static_cast<std::uint64_t>(c - '0');
    if (afterPoint) ++digits.places;
  }
  return digits;
}

}  // namespace

TEST(NumberValue, ManyDigitsAndManyPlacesAsAtofReadsThem) {
  for (const std::string& text : longNumberTexts()) {
    EXPECT_EQ(numberValue(text), atofOf(text)) << text;
    EXPECT_EQ(atofValue(text), atofOf(text)) << text;
  }
}

// Integers about 2^53, where a double stops holding every integer, with every count of places
// that the shortcut takes and the first it leaves to atof.
TEST(DecimalValue, DigitsAbout2To53WithUpTo23Places) {
  const std::uint64_t twoTo53 = std::uint64_t{1} << 53;
  std::vector<std::uint64_t> values;
  for (std::uint64_t delta = 0; delta <= 5; ++delta) {
    values.push_back(twoTo53 - delta);
    values.push_back(twoTo53 + delta);
  }
  // Odd integers past 2^53 that lie just off halfway between two floats once divided.
  values.insert(values.end(), {12345678901234567, 18014398509481985, 99999999999999999});
  for (const std::uint64_t value : values) {
    const std::string digits = std::to_string(value);
    for (int places = 0; places <= 23; ++places) {
      std::string text = digits;
      if (places > 0) {
        if (static_cast<std::size_t>(places) >= text.size())
          text.insert(0, static_cast<std::size_t>(places) - text.size() + 1, '0');
        text.insert(text.size() - static_cast<std::size_t>(places), ".");
      }
      const Digits read = digitsOf(text);
      ASSERT_EQ(read.value, value) << text;
      EXPECT_EQ(decimalValue(read.value, read.places, text), atofOf(text)) << text;
      EXPECT_EQ(numberValue(text), atofOf(text)) << text;
    }
  }
}
