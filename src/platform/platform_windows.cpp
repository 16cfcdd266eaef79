// The platform layer on Windows: messages in the OEM code page, or as they are for a console,
// and the runtime's key read.
#include <conio.h>
#include <windows.h>

#include <cstring>
#include <iostream>

#include "platform/platform.hpp"

bool standardOutputIsConsole() {
  static const bool console = [] {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
  }();
  return console;
}

void convertMessage(const char* message, char* converted) {
  if (standardOutputIsConsole()) {
    std::strcpy(converted, message);
  } else {
    CharToOemA(message, converted);
  }
}

void waitForKey() {
  std::cout.flush();
  _getch();
}

bool holdTypedLines() {
  return false;
}

TypedLine readTypedLine(std::string&) {
  return TypedLine::end;
}

void releaseTypedLines() {}
