// The platform layer on POSIX systems: UTF-8 output and a raw terminal read.
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <iostream>

#include "console/platform.hpp"

namespace {

// UTF-8 encodings of Windows-1251 bytes 0x80..0xBF; 0x98 has no character and
// becomes the replacement character. Bytes 0xC0..0xFF are the letters А..я.
constexpr char32_t kUpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

constexpr char32_t unicodeOf(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  return kUpperHalf[byte - 0x80];
}

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
    table[byte] = encodeUtf8(unicodeOf(static_cast<unsigned char>(byte)));
  }
  return table;
}();

// The terminal settings to restore, kept where a signal handler can reach them.
termios savedTerminal;

void restoreTerminal() {
  tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
}

// A signal that arrives during the wait must not leave the terminal without echo.
void restoreAndRaise(int signalNumber) {
  restoreTerminal();
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

constexpr int kRestoringSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

void readKeyFromTerminal() {
  if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0) return;
  for (int signalNumber : kRestoringSignals)
    std::signal(signalNumber, restoreAndRaise);

  termios raw = savedTerminal;
  // One key, without echo and without waiting for a line end; Ctrl+C is a key here.
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  // Whatever was typed before the wait (the Enter after "q") does not count.
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);

  char key = 0;
  while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
  }
  restoreTerminal();
  for (int signalNumber : kRestoringSignals)
    std::signal(signalNumber, SIG_DFL);
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
