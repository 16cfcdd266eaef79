// A fixture that runs the calculator in a pseudo-terminal, reads what it writes and types keys.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

class Terminal : public ::testing::Test {
 protected:
  // The terminal's settings are read before the program starts, which may change them at once.
  void SetUp() override {
    winsize window = {};
    window.ws_row = 24;
    window.ws_col = 80;
    int terminal = -1;
    ASSERT_EQ(openpty(&master_, &terminal, nullptr, nullptr, &window), 0) << std::strerror(errno);
    ASSERT_EQ(tcgetattr(terminal, &before_), 0);
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

  void TearDown() override {
    if (child_ > 0 && !exited_) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
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

  // Reads the terminal until the text has appeared after everything matched so far; true
  // then, and later matches start after it.
  bool next(const std::string& text) {
    if (!readUntil(text, matched_)) return false;
    matched_ = screen_.find(text, matched_) + text.size();
    return true;
  }

  // The TERM of the program: a dumb terminal unless a test says otherwise, so that words are
  // read as the terminal's own line discipline delivers them.
  const char* terminalType_ = "dumb";
  // The one argument of CALCULATOR_PROGRAM, if any: the program that an emulator is to run.
  const char* programArgument_ = nullptr;
  std::size_t matched_ = 0;

  int master_ = -1;
  pid_t child_ = -1;
  int status_ = 0;
  bool exited_ = false;
  termios before_{};
  std::string screen_;
};

}  // namespace
