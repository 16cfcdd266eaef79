// Test support: number texts whose digits overflow 64 bits or whose places pass the exact range.
#pragma once

#include <string>
#include <vector>

// Integers of 19, 20 and 21 digits about 2^63 and the multiples of 2^64 (whose low 64 bits are
// small), with the point at several places and with leading zeros; and fractions of 20 to 25
// places, with one digit or many after the zeros.
inline std::vector<std::string> longNumberTexts() {
  const std::vector<std::string> bases = {
      "9223372036854775808",   "9999999999999999999",   "18446744073709551616",
      "36893488147419103232",  "55340232221128654848",  "92233720368547758080",
      "110680464442257309696", "129127208515966861312", "100000000000000000000"};
  // The last digits of each base replaced by every offset from -5 to +5: a few of them wrap
  // past 2^64 when the digits are gathered in 64 bits.
  std::vector<std::string> integers;
  for (const std::string& base : bases) {
    const int last = std::stoi(base.substr(base.size() - 2));
    for (int offset = -5; offset <= 5; ++offset) {
      const int ending = last + offset;
      if (ending < 0 || ending > 99) continue;
      std::string text = base.substr(0, base.size() - 2);
      text += static_cast<char>('0' + ending / 10);
      text += static_cast<char>('0' + ending % 10);
      integers.push_back(text);
    }
  }
  std::vector<std::string> texts;
  for (const std::string& integer : integers) {
    texts.push_back(integer);
    texts.push_back("00" + integer);
    texts.push_back(integer + ".");
    for (const std::size_t point : {1u, 3u, 10u, 17u, 18u, 19u})
      texts.push_back(integer.substr(0, point) + "." + integer.substr(point));
  }
  for (int places = 20; places <= 25; ++places) {
    for (const std::string& digits : {std::string("1"), std::string("5"), std::string("987654"),
                                      std::string("1234567890123456789")}) {
      if (digits.size() > static_cast<std::size_t>(places)) continue;
      const std::string fraction =
          std::string(static_cast<std::size_t>(places) - digits.size(), '0') + digits;
      texts.push_back("0." + fraction);
      texts.push_back("7." + fraction);
      texts.push_back("." + fraction);  // for the functions that take any digit text
    }
  }
  return texts;
}
