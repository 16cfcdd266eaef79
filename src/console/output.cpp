// The output primitives every part of the calculator writes with.
#include "console/output.hpp"

#include <iostream>

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

void printMessageLine(const Message& message) {
  printMessage(message.text);
  std::cout << endLine;
}

void reportStoredLine(const Message& message, int line) {
  printMessage(message.text);
  std::cout << line << ": " << endLine;
  std::cout << LineTable[line] << endLine;
}
