// The platform on Windows: messages in the OEM code page or for a console, and the runtime's key.
#include <conio.h>
#include <windows.h>

#include <cstring>
#include <iostream>

#include "platform/platform.hpp"

bool standardOutputIsTerminal() {
  static const bool console = [] {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
  }();
  return console;
}

std::size_t convertMessage(const char* message, char* converted) {
  if (standardOutputIsTerminal()) {
    std::strcpy(converted, message);
  } else {
    CharToOemA(message, converted);
  }
  return std::strlen(converted);
}

void waitForKey() {
  std::cout.flush();
  _getch();
  // The console keeps no other key typed ahead for the program that reads next.
  FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
  if (standardOutputIsTerminal()) std::cout << '\n' << std::flush;
}

// The console keeps what was typed ahead until the final key takes it.
void takeKeysTypedAhead() {}

void treatBrokenPipesAsWriteErrors() {}

// The last error is that of the failed write: a pipe closed at its reading end, or going.
bool standardOutputIsBroken() {
  const DWORD error = GetLastError();
  return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED;
}

// The console keeps its own settings and handles Ctrl+C for every program.
bool holdTerminal() {
  return false;
}

void catchWhileHeld(int, void (*)(int)) {}

bool signalIsIgnored(int) {
  return false;
}

void releaseTerminal() {}

InputRead readInput(char*, std::size_t, std::size_t& count, int, bool (*)()) {
  count = 0;
  return InputRead::end;
}
