// Tests of number text: reading against atof, writing against printf, on edge and random values.
#include "text/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

float atofOf(const std::string& text) {
  return static_cast<float>(std::atof(text.c_str()));
}

std::string written(float value) {
  char text[kValueTextSize];
  return std::string(valueText(value, text));
}

std::string printed(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

// Digit texts at the edges: a trailing point, leading zeros, exact and inexact halfway cases in
// single and double precision, more digits than 64 bits hold, and numbers out of double's range
// both ways.
std::vector<std::string> edgeTexts() {
  return {"0",
          "5.",
          "007.250",
          "0.1",
          "16777217",
          "9007199254740993",
          "18446744073709551617",
          "1.000000536441803",
          "1.000001847743988",
          "340282356779733661637539395458142568448",
          "0.0000000000000000000000000000000000000000000014",
          "123456789012345678901234567890.123456789",
          "1" + std::string(400, '0'),
          "0." + std::string(400, '0') + "1",
          std::string(20, '0') + "." + std::string(20, '0') + "7"};
}

}  // namespace

TEST(NumberValue, AsAtofReadsTheText) {
  std::vector<std::string> texts = edgeTexts();
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    std::string text = std::to_string(random() % 1000000000);
    text.insert(random() % (text.size() + 1), ".");
    if (text.front() == '.') text.insert(0, "0");
    texts.push_back(text + std::string(random() % 25, '0') + std::to_string(random() % 100));
  }
  for (const std::string& text : texts)
    EXPECT_EQ(numberValue(text), atofOf(text)) << text;
}

TEST(ValueText, AsPrintfWritesTheValue) {
  using F = std::numeric_limits<float>;
  std::vector<float> values = {0.0f,      -0.0f,           1.0f / 3,       999999.5f,
                               123456.5f, 0.0000999999f,   0.00009999999f, F::max(),
                               F::min(),  F::denorm_min(), F::infinity(),  -F::infinity()};
  // Floats spread over every exponent and sign.
  std::mt19937 random(12);
  for (int i = 0; i < 100000; ++i) {
    const std::uint32_t bits = static_cast<std::uint32_t>(random());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isnan(value)) values.push_back(value);
  }
  for (const float value : values)
    ASSERT_EQ(written(value), printed(value)) << printed(value);
}

TEST(ValueText, EveryNotANumberIsNan) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(written(nan), "nan");
  EXPECT_EQ(written(std::copysign(nan, -1.0f)), "nan");
  EXPECT_EQ(written(std::numeric_limits<float>::signaling_NaN()), "nan");
}
