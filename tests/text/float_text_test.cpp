// Tests of the float writer: its text against the stream's own for the same float.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "text/float_text.hpp"

namespace {

std::string formatted(float value) {
  char text[kFloatTextSize];
  return std::string(text, formatFloat(value, text));
}

// The text the stream itself gives a float with its default format.
std::string streamed(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace

TEST(FormatFloat, EdgesOfTheFixedAndExponentForms) {
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {0.0f, "0"},
      {-0.0f, "-0"},
      {1.0f, "1"},
      {-2.5f, "-2.5"},
      {0.1f, "0.1"},
      {1.0f / 3, "0.333333"},
      // From 1e+06 on, and for what rounds to it, the exponent form.
      {999999.0f, "999999"},
      {999999.4f, "999999"},
      {999999.5f, "1e+06"},
      {1e6f, "1e+06"},
      {-1234567.0f, "-1.23457e+06"},
      {123456.5f, "123456"},  // an exact tie rounds to the even digit
      {123457.5f, "123458"},
      // Below 0.0001, and for what does not round up to it, the exponent form.
      {0.0001f, "0.0001"},
      {0.00012345678f, "0.000123457"},
      {0.0000999999f, "9.99999e-05"},
      {0.00009999999f, "0.0001"},
      {0.00001f, "1e-05"},
      {-0.000012345f, "-1.2345e-05"},
      // The largest and smallest floats, normal and subnormal.
      {std::numeric_limits<float>::max(), "3.40282e+38"},
      {std::numeric_limits<float>::lowest(), "-3.40282e+38"},
      {std::numeric_limits<float>::min(), "1.17549e-38"},
      {std::numeric_limits<float>::denorm_min(), "1.4013e-45"},
      {-std::numeric_limits<float>::denorm_min(), "-1.4013e-45"},
      {std::numeric_limits<float>::infinity(), "inf"},
      {-std::numeric_limits<float>::infinity(), "-inf"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(formatted(c.value), c.text) << c.text;
    EXPECT_EQ(streamed(c.value), c.text) << c.text;
  }
}

TEST(FormatFloat, NotANumberHasNoSign) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(formatted(nan), "nan");
  EXPECT_EQ(formatted(-nan), "nan");
  EXPECT_EQ(formatted(std::copysign(nan, -1.0f)), "nan");
  EXPECT_EQ(formatted(std::numeric_limits<float>::signaling_NaN()), "nan");
}

// Floats spread over every exponent and sign, each compared with the stream's own text.
TEST(FormatFloat, AsTheStreamWritesFloats) {
  std::mt19937 random(12);
  for (int i = 0; i < 100000; ++i) {
    const std::uint32_t bits = static_cast<std::uint32_t>(random());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isnan(value)) continue;
    ASSERT_EQ(formatted(value), streamed(value)) << std::hex << bits;
  }
}

// Every power of ten in single precision, the floats on either side of it, and those about the
// values that round up to it in six digits, where the digits and the form change; each against
// the C library's printf.
TEST(FormatFloat, AboutEveryPowerOfTenAsPrintf) {
  for (int exponent = -45; exponent <= 38; ++exponent) {
    const std::string power = "1e" + std::to_string(exponent);
    const std::string roundsUp = "9.999995e" + std::to_string(exponent - 1);
    for (const std::string& text : {power, roundsUp}) {
      float value = std::strtof(text.c_str(), nullptr);
      for (int step = 0; step < 3; ++step)
        value = std::nextafter(value, 0.0f);
      for (int step = 0; step < 7; ++step) {
        for (const float signedValue : {value, -value}) {
          char expected[32];
          std::snprintf(expected, sizeof expected, "%g", static_cast<double>(signedValue));
          EXPECT_EQ(formatted(signedValue), expected) << text << " step " << step;
        }
        value = std::nextafter(value, std::numeric_limits<float>::infinity());
      }
    }
  }
}
