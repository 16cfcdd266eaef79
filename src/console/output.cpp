// The output primitives every part of the calculator writes with.
#include "console/output.hpp"

#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>

#include "console/platform.hpp"
#include "workspace/workspace.hpp"

void printMessage(const char* message) {
  char converted[kConvertedMessageSize];
  convertMessage(message, converted);
  std::cout << converted;
}

std::ostream& endLine(std::ostream& out) {
  out.put('\n');
  out.flush();
  return out;
}

void printLineReport(const char* message, int line) {
  printMessage(message);
  std::cout << line << ": " << endLine;
  std::cout << LineTable[line] << endLine;
}

char* formatFloat(float value, char* text) {
  if (std::isnan(value)) {
    std::memcpy(text, "nan", 3);
    return text + 3;
  }
  // Shortest-form conversion would give other digits; with the general format and a precision
  // the result is specified to be printf's.
  return std::to_chars(text, text + kFloatTextSize, static_cast<double>(value),
                       std::chars_format::general, 6)
      .ptr;
}
