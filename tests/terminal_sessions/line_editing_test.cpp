// Types xterm's keys at the calculator in a pseudo-terminal: editing, history, completion,
// Ctrl+C and Ctrl+D, checked through the values that the program reports.
#include "terminal_sessions/pseudo_terminal.hpp"

namespace {}  // namespace

TEST_F(EditingTerminal, CtrlCDiscardsTheLineAndKeepsTheStoredLines) {
  typeLine("a=3\n");
  typeLine("a=100 ?=1+");
  ASSERT_TRUE(next("?=1+"));  // typed and shown before Ctrl+C flushes the input
  type(kCtrlC);
  ASSERT_TRUE(next("^C\r\n"));
  typeLine("?=a*2\n");  // a fresh prompt on a new line; a is still 3
  ASSERT_TRUE(next("? = 6")) << screen_;
  EXPECT_FALSE(reportedError()) << screen_;
  EXPECT_TRUE(stillRunning());
  quit();
}

// An empty line, a line of blanks and Ctrl+C, even one after another, each leave the prompt
// for the awaited word on the new row, and the editor's redisplay keeps it.
TEST_F(EditingTerminal, ThePromptComesBackAfterEveryLineWithoutAWord) {
  typeLine("\n");
  expectPromptOnANewRow();
  type("  \n");
  expectPromptOnANewRow();
  type("a=100" + kCtrlC);
  ASSERT_TRUE(next("^C"));
  expectPromptOnANewRow();
  type(kCtrlC);
  ASSERT_TRUE(next("^C"));
  expectPromptOnANewRow();
  type("\n");
  expectPromptOnANewRow();
  type(kCtrlL);
  ASSERT_TRUE(next(kEditorPrompt.substr(1))) << screen_;
  EXPECT_EQ(cursorRow(), "Готов: ") << screen_;
  type("a=1 ?=a+1\n");
  ASSERT_TRUE(next("? = 2")) << screen_;
  EXPECT_FALSE(reportedError()) << screen_;
  quit();
}

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

TEST_F(EditingTerminal, WordsOfALineEachGetAPromptAsBefore) {
  typeLine("a=1  b=2 ?=a+b\n");
  ASSERT_TRUE(next("Готов: Готов: Считаю строку: ?=a+b\r\n")) << screen_;
  ASSERT_TRUE(next("? = 3"));
  // The editor's prompt is the whole screen line that the two words left.
  typeLine("c=1 d=2\n");
  EXPECT_TRUE(readUntil("Готов: Готов: \rГотов: Готов: ", matched_)) << screen_;
  quit();
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
