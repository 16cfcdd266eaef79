// The output primitives every part of the calculator writes with.
#include "console/output.hpp"

#include <cstdlib>
#include <iostream>

#include "text/visible_text.hpp"
#include "workspace/workspace.hpp"

void printMessage(const char* message) {
  char converted[kConvertedMessageSize];
  const std::size_t length = convertMessage(message, converted);
  std::cout.write(converted, static_cast<std::streamsize>(length));
}

std::ostream& endLine(std::ostream& out) {
  out.put('\n');
  sendOutput(out);
  return out;
}

void sendOutput(std::ostream& out) {
  out.flush();
  if (&out == &std::cout && out.fail() && standardOutputIsBroken()) std::exit(0);
}

void printTypedText(std::string_view text) {
  if (!standardOutputIsTerminal()) {
    std::cout << text;
    return;
  }
  while (!text.empty()) {
    const CaretNotation caret = caretNotationAt(text, kConsoleTextIsUtf8);
    if (caret.bytes == 0) {
      std::cout.put(text[0]);
      text.remove_prefix(1);
    } else {
      std::cout.write(caret.text, static_cast<std::streamsize>(caret.size));
      text.remove_prefix(caret.bytes);
    }
  }
}

void printMessageLine(const Message& message) {
  printMessage(message.text);
  std::cout << endLine;
}

void reportStoredLine(const Message& message, int line) {
  printMessage(message.text);
  std::cout << line << ": " << endLine;
  printTypedText(LineTable[line]);
  std::cout << endLine;
}
