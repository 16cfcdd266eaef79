// Runs the calculator in a pseudo-terminal without the line editor: the end of input.
#include "terminal_sessions/pseudo_terminal.hpp"

TEST_F(Terminal, EndOfInputAtThePromptEnds) {
  ASSERT_TRUE(readUntil("Готов: "));
  type("\x04");  // Ctrl+D on an empty line: end of input
  ASSERT_TRUE(readUntil("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  type(" ");
  expectCleanExit();
}
