// The platform on POSIX systems: UTF-8 output, the held terminal, signals, input and the final key.
#include <poll.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <iostream>

#include "platform/platform.hpp"
#include "text/utf8.hpp"
#include "text/windows1251.hpp"

namespace {

// The UTF-8 bytes of every Windows-1251 byte, worked out from the code page at compile time.
constexpr auto kUtf8OfWindows1251 = [] {
  std::array<Utf8Bytes, 256> table{};
  for (std::size_t byte = 0; byte < table.size(); ++byte)
    table[byte] = utf8BytesOf(unicodeOfWindows1251(static_cast<unsigned char>(byte)));
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

// Puts the settings found back at once; safe inside a signal handler.
void restoreFoundTerminal() {
  tcsetattr(STDIN_FILENO, TCSANOW, &foundTerminal);
}

void installHandler(int signalNumber, void (*handler)(int)) {
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

// Room for the longest escape sequence of a key, read at once.
constexpr std::size_t kKeyBytes = 16;

// A key held down repeats: the wait for the rest of a key ends after this many reads.
constexpr int kMostReadsOfOneKey = 8;

// Set when a key typed ahead of the final key's wait has been taken already.
bool keyTypedAhead = false;

// Keys of more than one byte: the escape sequences of the function and cursor keys and the
// characters of UTF-8 text beyond ASCII.
bool mayHaveMoreBytes(char firstByte) {
  return firstByte == '\x1b' || isByteIn(firstByte, 0x80, 0xFF);
}

// One key at the terminal, without echo and without waiting for a line end; Ctrl+C is a key
// here. The key is taken whole, and the settings go back discarding whatever is still unread, so
// that no part of it (the "[A" of Up, the second byte of a letter) reaches the program that
// reads next. False, with nothing read, when standard input is no terminal.
bool takeWholeKey() {
  if (!holdTerminal()) return false;
  termios raw = foundTerminal;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  // A key typed ahead, before the wait, stays to end it.
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);

  char key[kKeyBytes];
  std::size_t count = 0;
  const InputRead read =
      keyTypedAhead ? InputRead::end : readInput(key, sizeof key, count, kNoTimeLimit, nullptr);
  for (int reads = 0;
       read == InputRead::bytes && mayHaveMoreBytes(key[0]) && reads < kMostReadsOfOneKey;
       ++reads) {
    char rest[kKeyBytes];
    if (readInput(rest, sizeof rest, count, kKeyGapMilliseconds, nullptr) != InputRead::bytes)
      break;
  }
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &foundTerminal);
  releaseTerminal();
  return true;
}

}  // namespace

std::size_t convertMessage(const char* message, char* converted) {
  char* const start = converted;
  for (; *message != '\0'; ++message) {
    const Utf8Bytes& character = kUtf8OfWindows1251[static_cast<unsigned char>(*message)];
    // Every character of the code page takes one to three bytes: it is in the basic plane. All
    // three are stored; those past its length are overwritten by the next character or the end.
    converted[0] = character.bytes[0];
    converted[1] = character.bytes[1];
    converted[2] = character.bytes[2];
    converted += character.length;
  }
  *converted = '\0';
  return static_cast<std::size_t>(converted - start);
}

void waitForKey() {
  std::cout.flush();
  // Otherwise one byte of the input; at its end the wait is over at once.
  if (!takeWholeKey()) std::cin.get();
  // The shell's prompt starts a row of its own; a pipe or a file gets nothing more.
  if (standardOutputIsTerminal()) std::cout << '\n' << std::flush;
}

void takeKeysTypedAhead() {
  char bytes[kKeyBytes];
  std::size_t count = 0;
  while (readInput(bytes, sizeof bytes, count, 0, nullptr) == InputRead::bytes)
    keyTypedAhead = true;
}

void treatBrokenPipesAsWriteErrors() {
  std::signal(SIGPIPE, SIG_IGN);
}

bool standardOutputIsBroken() {
  struct stat output {};
  if (fstat(STDOUT_FILENO, &output) != 0 || !(S_ISFIFO(output.st_mode) || S_ISSOCK(output.st_mode)))
    return false;
  pollfd closed = {STDOUT_FILENO, POLLOUT, 0};
  return poll(&closed, 1, 0) == 1 && (closed.revents & (POLLERR | POLLHUP)) != 0;
}

bool standardOutputIsTerminal() {
  return isatty(STDOUT_FILENO) != 0;
}

bool holdTerminal() {
  if (held) return true;
  if (tcgetattr(STDIN_FILENO, &foundTerminal) != 0) return false;
  held = true;
  for (int signalNumber : kEndingSignals) {
    if (!signalIsIgnored(signalNumber)) catchWhileHeld(signalNumber, restoreAndRaise);
  }
  return true;
}

bool signalIsIgnored(int signalNumber) {
  struct sigaction current {};
  return sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
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
  installHandler(signalNumber, handler);
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
  installHandler(SIGTSTP, handler);
  if (known) tcsetattr(STDIN_FILENO, TCSANOW, &inUse);
  errno = savedErrno;
}

InputRead readInput(char* bytes, std::size_t size, std::size_t& count, int milliseconds,
                    bool (*takeNoted)()) {
  sigset_t caught;
  sigset_t previous;
  sigemptyset(&caught);
  for (int k = 0; k < caughtCount; ++k)
    sigaddset(&caught, caughtSignals[k].number);
  sigprocmask(SIG_BLOCK, &caught, &previous);
  const timespec limit = {milliseconds / 1000, milliseconds % 1000 * 1'000'000L};
  InputRead result = InputRead::end;
  while (true) {
    if (takeNoted != nullptr && takeNoted()) {
      result = InputRead::noted;
      break;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(STDIN_FILENO, &readable);
    const int ready = pselect(STDIN_FILENO + 1, &readable, nullptr, nullptr,
                              milliseconds < 0 ? nullptr : &limit, &previous);
    if (ready == 0) {
      result = InputRead::timeUp;
      break;
    }
    const ssize_t got = ready > 0 ? read(STDIN_FILENO, bytes, size) : -1;
    if (got < 0 && errno == EINTR) continue;  // a signal came in the wait or the read
    count = got > 0 ? static_cast<std::size_t>(got) : 0;
    result = got > 0 ? InputRead::bytes : InputRead::end;
    break;
  }
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return result;
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
