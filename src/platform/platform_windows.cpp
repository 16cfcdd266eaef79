// The platform layer on Windows: the console's OEM code page and the runtime's key read.
#include <conio.h>
#include <windows.h>

#include <iostream>

#include "platform/platform.hpp"

void convertMessage(const char* message, char* converted) {
  CharToOemA(message, converted);
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
