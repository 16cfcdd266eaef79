// Tests of the POSIX platform layer: a terminal held and released, and the signals caught while
// it is held given back as they were.
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>

#include "platform/platform.hpp"

namespace {

void firstHandler(int) {}
void secondHandler(int) {}
void thirdHandler(int) {}

using Handler = void (*)(int);

Handler handlerOf(int signalNumber) {
  struct sigaction current {};
  sigaction(signalNumber, nullptr, &current);
  return current.sa_handler;
}

// Standard input is a pseudo-terminal for as long as it lives.
class TerminalOnStandardInput {
 public:
  TerminalOnStandardInput() {
    EXPECT_EQ(openpty(&master_, &terminal_, nullptr, nullptr, nullptr), 0);
    saved_ = dup(STDIN_FILENO);
    dup2(terminal_, STDIN_FILENO);
  }
  ~TerminalOnStandardInput() {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
    close(terminal_);
    close(master_);
  }
  TerminalOnStandardInput(const TerminalOnStandardInput&) = delete;
  TerminalOnStandardInput& operator=(const TerminalOnStandardInput&) = delete;

 private:
  int master_ = -1;
  int terminal_ = -1;
  int saved_ = -1;
};

}  // namespace

TEST(HeldTerminal, SettingsAndSignalsAreGivenBackAtRelease) {
  TerminalOnStandardInput terminal;
  termios found{};
  ASSERT_EQ(tcgetattr(STDIN_FILENO, &found), 0);
  std::signal(SIGUSR1, firstHandler);
  std::signal(SIGUSR2, SIG_IGN);
  const int endingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
  Handler before[4];
  for (int i = 0; i < 4; ++i)
    before[i] = handlerOf(endingSignals[i]);

  ASSERT_TRUE(holdTerminal());
  for (int i = 0; i < 4; ++i) {
    EXPECT_NE(handlerOf(endingSignals[i]), before[i]) << "the terminal is given back first";
  }
  // Caught again, a signal keeps what it did before it was first caught.
  catchWhileHeld(SIGUSR1, secondHandler);
  catchWhileHeld(SIGUSR2, secondHandler);
  catchWhileHeld(SIGUSR1, thirdHandler);
  catchWhileHeld(SIGINT, secondHandler);
  EXPECT_EQ(handlerOf(SIGUSR1), thirdHandler);
  EXPECT_EQ(handlerOf(SIGUSR2), secondHandler);
  EXPECT_EQ(handlerOf(SIGINT), secondHandler);
  termios raw = found;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  ASSERT_EQ(tcsetattr(STDIN_FILENO, TCSANOW, &raw), 0);

  releaseTerminal();
  termios after{};
  ASSERT_EQ(tcgetattr(STDIN_FILENO, &after), 0);
  EXPECT_EQ(after.c_lflag, found.c_lflag);
  EXPECT_EQ(handlerOf(SIGUSR1), firstHandler);
  EXPECT_EQ(handlerOf(SIGUSR2), SIG_IGN);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(handlerOf(endingSignals[i]), before[i]) << endingSignals[i];

  // Held a second time, it starts afresh from the settings and handlers then in force.
  ASSERT_TRUE(holdTerminal());
  catchWhileHeld(SIGUSR1, secondHandler);
  releaseTerminal();
  EXPECT_EQ(handlerOf(SIGUSR1), firstHandler);
  std::signal(SIGUSR1, SIG_DFL);
  std::signal(SIGUSR2, SIG_DFL);
}

// Taking a held terminal over again changes nothing: the settings given back at release are
// those found when it was first taken, not those in force at the second take.
TEST(HeldTerminal, ASecondHoldKeepsTheSettingsFirstFound) {
  TerminalOnStandardInput terminal;
  termios found{};
  ASSERT_EQ(tcgetattr(STDIN_FILENO, &found), 0);
  ASSERT_TRUE(holdTerminal());
  termios raw = found;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  ASSERT_EQ(tcsetattr(STDIN_FILENO, TCSANOW, &raw), 0);
  EXPECT_TRUE(holdTerminal());
  releaseTerminal();
  termios after{};
  ASSERT_EQ(tcgetattr(STDIN_FILENO, &after), 0);
  EXPECT_EQ(after.c_lflag, found.c_lflag);
}
