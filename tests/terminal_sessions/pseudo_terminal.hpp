// A fixture that runs the calculator in a pseudo-terminal, reads what it writes and types keys.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

class Terminal : public ::testing::Test {
 protected:
  // The terminal's settings are read before the program starts, which may change them at once.
  void SetUp() override {
    int terminal = -1;
    openTerminal(terminal);
    if (HasFatalFailure()) return;
    child_ = fork();
    ASSERT_GE(child_, 0) << std::strerror(errno);
    if (child_ == 0) {
      close(master_);
      if (login_tty(terminal) != 0) _exit(126);
      setenv("TERM", terminalType_, 1);
      execl(CALCULATOR_PROGRAM, CALCULATOR_PROGRAM, programArgument_, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(terminal);
  }

  // Opens a pseudo-terminal of 24 rows of 80 columns, its program's side in `terminal`, and
  // reads its settings before any program can change them.
  void openTerminal(int& terminal) {
    winsize window = {};
    window.ws_row = 24;
    window.ws_col = 80;
    ASSERT_EQ(openpty(&master_, &terminal, nullptr, nullptr, &window), 0) << std::strerror(errno);
    ASSERT_EQ(tcgetattr(terminal, &before_), 0);
  }

  void TearDown() override {
    if (child_ > 0 && !exited_) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
    if (kept_ >= 0) close(kept_);
  }

  // Reads the terminal until the text has appeared at or after `from` (true) or a few seconds
  // have passed.
  bool readUntil(const std::string& text, std::size_t from = 0) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (screen_.find(text, from) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      pollfd ready = {master_, POLLIN, 0};
      if (poll(&ready, 1, 50) <= 0) continue;
      char bytes[256];
      const ssize_t count = read(master_, bytes, sizeof bytes);
      if (count <= 0) return false;
      screen_.append(bytes, static_cast<std::size_t>(count));
    }
    return true;
  }

  void type(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }

  // True once the program has switched the terminal to reading single keys.
  bool waitForRawMode() {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    termios now{};
    while (std::chrono::steady_clock::now() < deadline) {
      if (tcgetattr(master_, &now) == 0 && (now.c_lflag & ICANON) == 0) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  bool stillRunning() { return waitpid(child_, &status_, WNOHANG) == 0; }

  bool exitsWithin(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitpid(child_, &status_, WNOHANG) == child_) return exited_ = true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  // Everything the program wrote after the text.
  std::string screenAfter(const std::string& text) {
    readUntil("\x01never");  // drain what is left
    return screen_.substr(screen_.find(text) + text.size());
  }

  void expectSettingsRestored() {
    termios after{};
    ASSERT_EQ(tcgetattr(master_, &after), 0);
    EXPECT_EQ(after.c_lflag, before_.c_lflag);
    EXPECT_EQ(after.c_iflag, before_.c_iflag);
    EXPECT_EQ(after.c_oflag, before_.c_oflag);
    EXPECT_EQ(after.c_cc[VMIN], before_.c_cc[VMIN]);
    EXPECT_EQ(after.c_cc[VTIME], before_.c_cc[VTIME]);
  }

  // How every session that reaches the final key ends: the program exits by itself within a
  // few seconds, with status 0, and leaves the terminal's settings as it found them.
  void expectCleanExit() {
    ASSERT_TRUE(exitsWithin(5000ms)) << "the program has not ended";
    EXPECT_TRUE(WIFEXITED(status_)) << "ended by signal " << WTERMSIG(status_);
    EXPECT_EQ(WEXITSTATUS(status_), 0);
    expectSettingsRestored();
  }

  // Reads the terminal until the text has appeared after everything matched so far; true
  // then, and later matches start after it.
  bool next(const std::string& text) {
    if (!readUntil(text, matched_)) return false;
    matched_ = screen_.find(text, matched_) + text.size();
    return true;
  }

  // The row the cursor is on as a terminal shows it, from what was written since the last line
  // end: a return goes to the row's start, characters overwrite what they land on, and the
  // cursor moves and erasures that the editor uses (CSI n G, C, D and K, backspace) apply.
  std::string cursorRow() const {
    std::vector<std::string> cells;
    std::size_t column = 0;
    const std::size_t rowStart = screen_.rfind('\n');
    const std::string row = screen_.substr(rowStart == std::string::npos ? 0 : rowStart + 1);
    for (std::size_t at = 0; at < row.size();) {
      const unsigned char byte = static_cast<unsigned char>(row[at]);
      if (byte == '\r') {
        column = 0;
        ++at;
      } else if (byte == '\b') {
        if (column > 0) --column;
        ++at;
      } else if (byte == 0x1B && at + 1 < row.size() && row[at + 1] == '[') {
        std::size_t end = at + 2;
        while (end < row.size() && (row[end] < 0x40 || row[end] > 0x7E))
          ++end;
        if (end == row.size()) break;
        const int count = std::max(1, std::atoi(row.c_str() + at + 2));
        const std::size_t amount = static_cast<std::size_t>(count);
        switch (row[end]) {
          case 'G': column = amount - 1; break;
          case 'H': column = 0; break;
          case 'C': column += amount; break;
          case 'D': column -= std::min(column, amount); break;
          case 'K': cells.resize(std::min(cells.size(), column)); break;
          case 'J': cells.clear(); break;
          default: break;
        }
        at = end + 1;
      } else if (byte < 0x20) {
        ++at;
      } else {
        std::size_t length = 1;
        while (at + length < row.size() &&
               (static_cast<unsigned char>(row[at + length]) & 0xC0) == 0x80)
          ++length;
        if (cells.size() <= column) cells.resize(column + 1, " ");
        cells[column++] = row.substr(at, length);
        at += length;
      }
    }
    std::string shown;
    for (const std::string& cell : cells)
      shown += cell;
    return shown;
  }

  // Keeps the terminal open from this side too, so that what the program leaves unread in its
  // input stays there after the program ends.
  void keepTerminalOpen() {
    kept_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    ASSERT_GE(kept_, 0) << std::strerror(errno);
  }

  // What was typed and never read, once the program has ended; the terminal is then closed.
  std::string inputLeftUnread() {
    termios raw{};
    tcgetattr(kept_, &raw);
    cfmakeraw(&raw);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    tcsetattr(kept_, TCSANOW, &raw);
    char bytes[64];
    const ssize_t count = read(kept_, bytes, sizeof bytes);
    close(kept_);
    kept_ = -1;
    return count > 0 ? std::string(bytes, static_cast<std::size_t>(count)) : std::string();
  }

  // The TERM of the program: a dumb terminal unless a test says otherwise, so that words are
  // read as the terminal's own line discipline delivers them.
  const char* terminalType_ = "dumb";
  // The one argument of CALCULATOR_PROGRAM, if any: the program that an emulator is to run.
  const char* programArgument_ = nullptr;
  std::size_t matched_ = 0;

  int master_ = -1;
  int kept_ = -1;
  pid_t child_ = -1;
  int status_ = 0;
  bool exited_ = false;
  termios before_{};
  std::string screen_;
};

// The keys as xterm sends them.
const std::string kUp = "\x1b[A";
const std::string kLeft = "\x1b[D";
const std::string kHome = "\x1b[H";
const std::string kDelete = "\x1b[3~";
const std::string kTab = "\t";
const std::string kBackspace = "\x7f";
const std::string kCtrlC = "\x03";
const std::string kCtrlD = "\x04";
const std::string kCtrlK = "\x0b";
const std::string kCtrlL = "\x0c";
const std::string kCtrlU = "\x15";
const std::string kCtrlW = "\x17";
const std::string kAltBackspace = "\x1b\x7f";
const std::string kBell = "\x07";
const std::string kPrompt = "Готов: ";

// The editor starts each line by drawing the screen line again from the row's start.
const std::string kEditorPrompt = "\rГотов: ";

class EditingTerminal : public Terminal {
 protected:
  EditingTerminal() { terminalType_ = "xterm"; }

  // Waits until the editor reads a new line, then types the keys. The editor draws its
  // prompt before it switches the terminal to single keys; keys typed before that would be
  // echoed by the terminal itself.
  void typeLine(const std::string& keys) {
    ASSERT_TRUE(next(kEditorPrompt)) << screen_;
    ASSERT_TRUE(waitForRawMode());
    type(keys);
  }

  // The window's new size; the terminal tells the program with SIGWINCH.
  void resize(unsigned short rows, unsigned short columns) {
    winsize window = {};
    window.ws_row = rows;
    window.ws_col = columns;
    ASSERT_EQ(ioctl(master_, TIOCSWINSZ, &window), 0);
  }

  // Ends with "q" and one key, and checks the program's status and the terminal's settings.
  void quit() {
    typeLine("q\n");
    ASSERT_TRUE(next("Press Enter"));
    ASSERT_TRUE(waitForRawMode());
    type("x");
    expectCleanExit();
  }

  // The editor has drawn the prompt again and the row shows it alone.
  void expectPromptOnANewRow() {
    ASSERT_TRUE(next(kEditorPrompt)) << screen_;
    ASSERT_TRUE(waitForRawMode());
    EXPECT_EQ(cursorRow(), "Готов: ") << screen_;
  }

  bool reportedError() const {
    return screen_.find("Ошибка") != std::string::npos ||
           screen_.find("Неизвестная") != std::string::npos ||
           screen_.find("Не определено") != std::string::npos;
  }
};

}  // namespace
