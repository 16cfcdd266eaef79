// The output primitives every part of the calculator writes with.
#include "console/output.hpp"

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
