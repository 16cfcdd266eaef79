// Test support: a pseudo-terminal in place of standard input, or of standard input and output.
#pragma once

#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <sys/ioctl.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

// The first `streams` standard streams (1: input, 2: input and output) are a new pseudo-terminal
// for as long as this lives; raw, if asked, so that every byte typed is unread until it is read.
class TerminalOnStandardStreams {
 public:
  explicit TerminalOnStandardStreams(bool raw = false, int streams = 1) : streams_(streams) {
    EXPECT_EQ(openpty(&master_, &terminal_, nullptr, nullptr, nullptr), 0);
    termios settings{};
    tcgetattr(terminal_, &settings);
    if (raw) cfmakeraw(&settings);
    tcsetattr(terminal_, TCSANOW, &settings);
    for (int k = 0; k < streams_; ++k) {
      saved_[k] = dup(k);
      dup2(terminal_, k);
    }
  }
  ~TerminalOnStandardStreams() {
    for (int k = 0; k < streams_; ++k) {
      dup2(saved_[k], k);
      close(saved_[k]);
    }
    close(terminal_);
    close(master_);
  }
  TerminalOnStandardStreams(const TerminalOnStandardStreams&) = delete;
  TerminalOnStandardStreams& operator=(const TerminalOnStandardStreams&) = delete;

  // Types the keys in a thread of its own, each once what was typed before has been read and the
  // pause has passed, so that no two come in one read.
  std::thread typeLater(std::vector<std::string> keys, std::chrono::milliseconds pause) {
    return std::thread([this, keys, pause] {
      for (const std::string& key : keys) {
        while (unreadBytes() > 0)
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(pause);
        EXPECT_EQ(write(master_, key.data(), key.size()), static_cast<ssize_t>(key.size()));
      }
    });
  }

  int unreadBytes() const {
    int count = 0;
    ioctl(terminal_, FIONREAD, &count);
    return count;
  }

 private:
  int streams_;
  int master_ = -1;
  int terminal_ = -1;
  int saved_[2] = {-1, -1};
};
