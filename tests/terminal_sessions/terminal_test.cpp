// Runs the calculator in a pseudo-terminal without the line editor: the end of input, and
// Ctrl+C while a line is typed.
#include "terminal_sessions/pseudo_terminal.hpp"

TEST_F(Terminal, EndOfInputAtThePromptEnds) {
  ASSERT_TRUE(readUntil("Готов: "));
  type("\x04");  // Ctrl+D on an empty line: end of input
  ASSERT_TRUE(readUntil("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  type(" ");
  expectCleanExit();
}

// Without the line editor Ctrl+C drops the line being typed, as the terminal's own line editing
// does, and the word is asked for again on a new row; so is it after an empty line.
TEST_F(Terminal, CtrlCDropsTheLineAndKeepsTheStoredLines) {
  ASSERT_TRUE(next("Готов: "));
  type("a=5\n");
  ASSERT_TRUE(next("Готов: "));
  type("a=7 b=");
  ASSERT_TRUE(next("b="));
  type("\x03");
  ASSERT_TRUE(next("^C"));
  ASSERT_TRUE(next("Готов: ")) << screen_;
  EXPECT_EQ(cursorRow(), "Готов: ") << screen_;
  type("\x03");
  ASSERT_TRUE(next("Готов: ")) << screen_;
  EXPECT_EQ(cursorRow(), "Готов: ") << screen_;
  type("\n");
  ASSERT_TRUE(next("Готов: ")) << screen_;
  EXPECT_EQ(cursorRow(), "Готов: ") << screen_;
  EXPECT_TRUE(stillRunning());
  type("?=a\n");
  ASSERT_TRUE(next("? = 5")) << screen_;
  type("q\n");
  ASSERT_TRUE(next("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  type("x");
  expectCleanExit();
}
