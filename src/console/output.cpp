// The output primitives every part of the calculator writes with.
#include "console/output.hpp"

#include <cstring>
#include <iostream>

#include "platform/platform.hpp"
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

ConvertedMessage convertedCopy(const Message& message) {
  ConvertedMessage converted;
  convertMessage(message.text, converted.text);
  converted.length = std::strlen(converted.text);
  return converted;
}

void writeLine(std::initializer_list<std::string_view> parts) {
  // Room for the longest converted message and what usually goes with it.
  char line[2 * kConvertedMessageSize];
  std::size_t length = 0;
  for (const std::string_view part : parts)
    length += part.size();
  if (length < sizeof line) {
    char* end = line;
    for (const std::string_view part : parts) {
      if (part.empty()) continue;  // an empty view may hold no pointer for memcpy
      std::memcpy(end, part.data(), part.size());
      end += part.size();
    }
    *end++ = '\n';
    std::cout.write(line, end - line);
  } else {
    for (const std::string_view part : parts)
      std::cout.write(part.data(), static_cast<std::streamsize>(part.size()));
    std::cout.put('\n');
  }
  std::cout.flush();
}

void printLineReport(const char* message, int line) {
  printMessage(message);
  std::cout << line << ": " << endLine;
  std::cout << LineTable[line] << endLine;
}
