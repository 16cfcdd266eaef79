// Runs the calculator at a dumb terminal, where no editor draws.
#include "terminal_sessions/pseudo_terminal.hpp"

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
