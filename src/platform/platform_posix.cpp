// The platform layer on POSIX systems: UTF-8 output and the terminal held for a raw read.
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <iostream>

#include "platform/platform.hpp"
#include "text/windows1251.hpp"

namespace {

// The UTF-8 bytes of one character, at most three for these code points.
struct Utf8 {
  char bytes[3];
  unsigned char length;
};

constexpr Utf8 encodeUtf8(char32_t code) {
  const auto byte = [](char32_t value) { return static_cast<char>(value); };
  if (code < 0x80) return {{byte(code), 0, 0}, 1};
  if (code < 0x800) return {{byte(0xC0 | (code >> 6)), byte(0x80 | (code & 0x3F)), 0}, 2};
  return {
      {byte(0xE0 | (code >> 12)), byte(0x80 | ((code >> 6) & 0x3F)), byte(0x80 | (code & 0x3F))},
      3};
}

// Every Windows-1251 byte's UTF-8 encoding, computed once by the compiler.
constexpr auto kUtf8Of = [] {
  std::array<Utf8, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = encodeUtf8(unicodeOfWindows1251(static_cast<unsigned char>(byte)));
  }
  return table;
}();

// ---- The held terminal ----------------------------------------------------------------------

// The terminal's settings when it was taken over, kept where a signal handler can reach them.
termios foundTerminal;
bool held = false;

// The signals that end the program: the terminal is given back before their default action.
constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// What each signal caught while the terminal is held did before, given back on release.
struct CaughtSignal {
  int number;
  struct sigaction before;
};
constexpr int kMaxCaughtSignals = 8;
CaughtSignal caughtSignals[kMaxCaughtSignals];
int caughtCount = 0;

bool isIgnored(int signalNumber) {
  struct sigaction current {};
  return sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void install(int signalNumber, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a signal must end the wait for a key
  sigaction(signalNumber, &action, nullptr);
}

void restoreAndRaise(int signalNumber) {
  restoreFoundTerminal();
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

// One key, without echo and without waiting for a line end; Ctrl+C is a key here.
void readKeyFromTerminal() {
  if (!holdTerminal()) return;
  termios raw = foundTerminal;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  // Whatever was typed before the wait (the Enter after "q") does not count.
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);

  char key = 0;
  while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
  }
  releaseTerminal();
}

}  // namespace

void convertMessage(const char* message, char* converted) {
  for (; *message != '\0'; ++message) {
    const Utf8& character = kUtf8Of[static_cast<unsigned char>(*message)];
    // All three bytes are copied and only `length` kept: the buffer has room for three bytes
    // per character, so the spare ones land inside it and are overwritten next. Plain stores,
    // not memcpy: with _FORTIFY_SOURCE=3 a memcpy into a buffer whose size is known only at
    // run time becomes a call of the checked copy for every character.
    converted[0] = character.bytes[0];
    converted[1] = character.bytes[1];
    converted[2] = character.bytes[2];
    converted += character.length;
  }
  *converted = '\0';
}

void waitForKey() {
  std::cout.flush();
  if (isatty(STDIN_FILENO)) {
    readKeyFromTerminal();
  } else {
    std::cin.get();  // one byte of the input; at its end the wait is over at once
  }
}

bool holdTerminal() {
  if (held) return true;
  if (tcgetattr(STDIN_FILENO, &foundTerminal) != 0) return false;
  held = true;
  for (int signalNumber : kEndingSignals) {
    if (!isIgnored(signalNumber)) catchWhileHeld(signalNumber, restoreAndRaise);
  }
  return true;
}

void catchWhileHeld(int signalNumber, void (*handler)(int)) {
  int k = 0;
  while (k < caughtCount && caughtSignals[k].number != signalNumber)
    ++k;
  if (k == caughtCount) {
    if (caughtCount == kMaxCaughtSignals) return;
    caughtSignals[k].number = signalNumber;
    sigaction(signalNumber, nullptr, &caughtSignals[k].before);
    ++caughtCount;
  }
  install(signalNumber, handler);
}

void restoreFoundTerminal() {
  tcsetattr(STDIN_FILENO, TCSANOW, &foundTerminal);
}

void stopWithTerminalAsFound(void (*handler)(int)) {
  const int savedErrno = errno;
  termios inUse{};
  const bool known = tcgetattr(STDIN_FILENO, &inUse) == 0;
  restoreFoundTerminal();
  std::signal(SIGTSTP, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  std::raise(SIGTSTP);
  install(SIGTSTP, handler);
  if (known) tcsetattr(STDIN_FILENO, TCSANOW, &inUse);
  errno = savedErrno;
}

void releaseTerminal() {
  if (!held) return;
  tcsetattr(STDIN_FILENO, TCSADRAIN, &foundTerminal);
  while (caughtCount > 0) {
    --caughtCount;
    sigaction(caughtSignals[caughtCount].number, &caughtSignals[caughtCount].before, nullptr);
  }
  held = false;
}
