// Runs the calculator in a pseudo-terminal: the prompt before the wait, the final key read
// without echo and without Enter, and the terminal's settings restored afterwards.
#include "terminal_sessions/pseudo_terminal.hpp"

TEST_F(Terminal, OneKeyWithoutEnterEndsTheProgram) {
  ASSERT_TRUE(readUntil("Готов: "));  // the prompt is visible while the program waits
  type("a=2 ?=a*3\n");
  ASSERT_TRUE(readUntil("? = 6"));
  type("q\n");
  ASSERT_TRUE(readUntil("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  // The Enter typed after q does not count: the program still waits.
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(stillRunning());

  type("x");
  expectCleanExit();
  EXPECT_EQ(screenAfter("Press Enter").find('x'), std::string::npos) << "the key was echoed";
}

TEST_F(Terminal, CtrlCIsAKeyNotASignal) {
  ASSERT_TRUE(readUntil("Готов: "));
  type("quit\n");
  ASSERT_TRUE(readUntil("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  type("\x03");
  expectCleanExit();
}

TEST_F(Terminal, EndOfInputAtThePromptEnds) {
  ASSERT_TRUE(readUntil("Готов: "));
  type("\x04");  // Ctrl+D on an empty line: end of input
  ASSERT_TRUE(readUntil("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  type(" ");
  expectCleanExit();
}
