// Runs the calculator in a pseudo-terminal: the prompt before the wait, the final key read
// whole, without echo and without Enter, the terminal's settings restored afterwards, and
// Ctrl+C while a line is typed without the line editor.
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

// The whole final key is read: nothing of it is left for the program that reads the terminal
// next (the shell), and the row is ended after it.
class FinalKey : public Terminal {
 protected:
  void quitWith(const std::string& key) {
    ASSERT_TRUE(readUntil("Готов: "));
    type("q\n");
    ASSERT_TRUE(readUntil("Press Enter"));
    ASSERT_TRUE(waitForRawMode());
    keepTerminalOpen();
    type(key);
    expectCleanExit();
    EXPECT_EQ(inputLeftUnread(), "");
    EXPECT_EQ(screenAfter("Press Enter"), "\r\n");
  }
};

TEST_F(FinalKey, AnArrowKey) {
  quitWith("\x1b[A");
}

TEST_F(FinalKey, AFunctionKey) {
  quitWith("\x1b[15~");
}

TEST_F(FinalKey, ALetterOfTwoBytes) {
  quitWith("\xD0\xB6");
}

TEST_F(FinalKey, AnEmojiOfFourBytes) {
  quitWith("\xF0\x9F\x98\x80");
}

TEST_F(FinalKey, EnterAndTheLineTypedAfterItAreDropped) {
  quitWith("\nls\n");
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
