// Tests of the POSIX platform layer: a terminal held and released, and the signals caught while
// it is held given back as they were.
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "platform/platform.hpp"
#include "support/terminal_streams.hpp"

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

}  // namespace

TEST(HeldTerminal, SettingsAndSignalsAreGivenBackAtRelease) {
  TerminalOnStandardStreams terminal;
  termios found{};
  ASSERT_EQ(tcgetattr(STDIN_FILENO, &found), 0);
  std::signal(SIGUSR1, firstHandler);
  std::signal(SIGUSR2, SIG_IGN);
  const int endingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
  const Handler before[] = {handlerOf(SIGHUP), handlerOf(SIGINT), handlerOf(SIGQUIT),
                            handlerOf(SIGTERM)};

  ASSERT_TRUE(holdTerminal());
  for (int i = 0; i < 4; ++i)
    EXPECT_NE(handlerOf(endingSignals[i]), before[i]) << "the terminal is given back first";
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
  // Taken over again, it keeps the settings found when it was first taken.
  EXPECT_TRUE(holdTerminal());

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

// Where standard input is no terminal, none is held, and no signal's handling changes.
TEST(HeldTerminal, NoneWhereStandardInputIsNoTerminal) {
  const int saved = dup(STDIN_FILENO);
  const int null = open("/dev/null", O_RDONLY);
  dup2(null, STDIN_FILENO);
  const Handler before = handlerOf(SIGTERM);
  EXPECT_FALSE(holdTerminal());
  EXPECT_EQ(handlerOf(SIGTERM), before);
  releaseTerminal();
  dup2(saved, STDIN_FILENO);
  close(saved);
  close(null);
}

// A signal caught while the terminal is held ends the wait inside it, but without a handler's
// note to take, the wait goes on until the input comes.
TEST(HeldTerminal, ASignalDoesNotEndTheWaitForInput) {
  TerminalOnStandardStreams terminal(true);
  ASSERT_TRUE(holdTerminal());
  catchWhileHeld(SIGUSR1, firstHandler);
  const pthread_t waiting = pthread_self();
  std::thread signal([waiting] {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    pthread_kill(waiting, SIGUSR1);
  });
  std::thread typing = terminal.typeLater({"x"}, std::chrono::milliseconds(120));
  char byte = 0;
  std::size_t count = 0;
  EXPECT_EQ(readInput(&byte, 1, count, kNoTimeLimit, nullptr), InputRead::bytes);
  EXPECT_EQ(byte, 'x');
  signal.join();
  typing.join();
  releaseTerminal();
}

// The final key is read whole even when its bytes come apart, within the gap of one key.
TEST(FinalKey, ABrokenUpKeyIsTakenWhole) {
  TerminalOnStandardStreams terminal(true);
  std::thread typing = terminal.typeLater({"\x1b", "[", "A"}, std::chrono::milliseconds(20));
  waitForKey();
  typing.join();
  EXPECT_EQ(terminal.unreadBytes(), 0);
}

// Keys typed before the wait began: the first ends it, and none is left for the next program,
// however many there are.
TEST(FinalKey, KeysTypedAheadEndTheWaitAndAreDropped) {
  TerminalOnStandardStreams terminal(true);
  std::thread typing = terminal.typeLater({"echo LEFTOVER; echo TYPED AHEAD\n"}, {});
  typing.join();
  waitForKey();
  EXPECT_EQ(terminal.unreadBytes(), 0);
}

// Standard output is broken only when it is a pipe whose reading end is closed; a file that
// takes no more (a full disk) or a pipe with its reader is not.
TEST(StandardOutput, IsBrokenWhenThePipesReaderHasGone) {
  treatBrokenPipesAsWriteErrors();
  const Handler brokenPipe = handlerOf(SIGPIPE);
  const int saved = dup(STDOUT_FILENO);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const int full = open("/dev/full", O_WRONLY);
  dup2(ends[1], STDOUT_FILENO);
  const bool readPipe = standardOutputIsBroken();
  close(ends[0]);
  const bool closedPipe = standardOutputIsBroken();
  dup2(full, STDOUT_FILENO);
  const bool fullDisk = standardOutputIsBroken();
  dup2(saved, STDOUT_FILENO);
  for (const int fd : {saved, ends[1], full})
    close(fd);
  EXPECT_EQ(brokenPipe, SIG_IGN);
  EXPECT_FALSE(readPipe);
  EXPECT_TRUE(closedPipe);
  EXPECT_FALSE(fullDisk);
  std::signal(SIGPIPE, SIG_DFL);
}
