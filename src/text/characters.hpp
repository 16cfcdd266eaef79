// The character table: which bytes are white space, letters, digits, operators and brackets.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Character classes over bytes, independent of the locale: bytes 128..255 are in none.
enum CharacterClass : std::uint8_t {
  kWhiteSpace = 1,  // what formatted extraction skips in the C locale
  kLetter = 2,
  kDigit = 4,
  kOperator = 8,
  kOpeningBracket = 16,
  kClosingBracket = 32,
};

inline constexpr auto kCharacterClasses = [] {
  std::array<std::uint8_t, 256> table{};
  for (const char c : {' ', '\t', '\n', '\v', '\f', '\r'})
    table[static_cast<unsigned char>(c)] = kWhiteSpace;
  for (int c = 'a'; c <= 'z'; ++c)
    table[c] = kLetter;
  for (int c = 'A'; c <= 'Z'; ++c)
    table[c] = kLetter;
  for (int c = '0'; c <= '9'; ++c)
    table[c] = kDigit;
  for (const char c : {'+', '-', '*', '/', '^'})
    table[static_cast<unsigned char>(c)] = kOperator;
  table['('] = kOpeningBracket;
  table[')'] = kClosingBracket;
  return table;
}();

// Whether the byte is in any of the classes, given as a mask of CharacterClass bits.
constexpr bool isIn(char c, unsigned classes) {
  return (kCharacterClasses[static_cast<unsigned char>(c)] & classes) != 0;
}

constexpr bool isWhiteSpace(char c) {
  return isIn(c, kWhiteSpace);
}

// A name is a letter followed by letters and digits.
constexpr bool continuesName(char c) {
  return isIn(c, kLetter | kDigit);
}

constexpr bool isName(std::string_view text) {
  if (text.empty() || !isIn(text[0], kLetter)) return false;
  for (const char c : text.substr(1)) {
    if (!continuesName(c)) return false;
  }
  return true;
}

// The name of the task line.
inline constexpr std::string_view kTaskName = "?";
