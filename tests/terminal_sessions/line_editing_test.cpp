// Types xterm's keys at the calculator in a pseudo-terminal: editing, history, completion,
// Ctrl+C and Ctrl+D, checked through the values that the program reports.
#include "terminal_sessions/pseudo_terminal.hpp"

namespace {}  // namespace

TEST_F(EditingTerminal, CtrlDOnAnEmptyLineEndsTheInput) {
  typeLine("?=1" + kCtrlD + "+2" + kLeft + kLeft + kCtrlD + "\n");  // deletes the "+": ?=12
  ASSERT_TRUE(next("? = 12")) << screen_;
  typeLine(kCtrlD);
  ASSERT_TRUE(next("Press Enter"));
  EXPECT_EQ(screen_.find("^D"), std::string::npos) << "Ctrl+D was echoed";
  ASSERT_TRUE(waitForRawMode());
  type(" ");
  expectCleanExit();
}

TEST_F(EditingTerminal, TerminatedWhileEditingTheTerminalIsAsFound) {
  typeLine("a=2");
  ASSERT_TRUE(next("a=2"));
  kill(child_, SIGTERM);
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_TRUE(WIFSIGNALED(status_));
  expectSettingsRestored();
}

TEST_F(EditingTerminal, AClosedTerminalEndsTheProgram) {
  typeLine("a=2");
  ASSERT_TRUE(next("a=2"));
  close(master_);  // the window is closed: the program is hung up
  master_ = -1;
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_TRUE(WIFSIGNALED(status_) && WTERMSIG(status_) == SIGHUP);
}

using DumbTerminal = Terminal;

TEST_F(DumbTerminal, LinesAreReadAsTheyAreTyped) {
  ASSERT_TRUE(readUntil("Готов: "));
  type("a=2 ?=a*3\n");
  ASSERT_TRUE(readUntil("? = 6"));
  EXPECT_EQ(screen_.find('\r' + std::string("Готов")), std::string::npos) << "the editor drew";
  type("q\n");
  ASSERT_TRUE(readUntil("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  type("x");
  expectCleanExit();
}
