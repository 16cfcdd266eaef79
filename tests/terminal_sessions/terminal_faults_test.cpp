// The calculator at a terminal of an unknown type or none, and with its output to a pipe.
#include "terminal_sessions/pseudo_terminal.hpp"

// A terminal that the terminal database does not know cannot be driven: its lines are read as
// the terminal's own line discipline delivers them, and the editor draws nothing.
class UnknownTerminal : public Terminal {
 protected:
  void SetUp() override { start({"no-such-terminal"}); }
};

TEST_F(UnknownTerminal, IsReadWithoutTheEditor) {
  ASSERT_TRUE(readUntil(kPrompt));
  type("a=2 ?=a*3\n");
  ASSERT_TRUE(readUntil("? = 6"));
  EXPECT_EQ(screen_.find(kEditorPrompt), std::string::npos) << "the editor drew: " << screen_;
  // Waiting for the next line, the terminal stays as it was: its own line editing and echo.
  ASSERT_TRUE(readUntil("? = 6\r\n" + kPrompt));
  std::this_thread::sleep_for(200ms);
  termios waiting{};
  ASSERT_EQ(tcgetattr(master_, &waiting), 0);
  EXPECT_EQ(waiting.c_lflag, before_.c_lflag);
  type("q\n");
  ASSERT_TRUE(readUntil("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  type("x");
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_EQ(WEXITSTATUS(status_), 0);
  expectSettingsRestored();
}

// Without TERM there is no terminal to drive: lines are read as the terminal delivers them.
TEST_F(ChosenStart, WithoutTermLinesAreReadPlainly) {
  start({nullptr});
  ASSERT_TRUE(readUntil(kPrompt));
  type("a=2 ?=a*3\n");
  ASSERT_TRUE(readUntil("? = 6"));
  EXPECT_EQ(screen_.find(kEditorPrompt), std::string::npos) << "the editor drew: " << screen_;
  type("q\n");
  ASSERT_TRUE(readUntil("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  type("x");
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_TRUE(WIFEXITED(status_));
  EXPECT_EQ(WEXITSTATUS(status_), 0);
  expectSettingsRestored();
}

// Typed at a terminal with the output going to a file or a pipe: no editor, whose drawing would
// land in the output; the output is the dialogue alone.
TEST_F(ChosenStart, OutputThatIsNoTerminalIsPlain) {
  int output[2];
  ASSERT_EQ(pipe(output), 0);
  start({"xterm"}, output[1]);
  close(output[1]);
  type("a=2 ?=a*3\nq\n");
  std::string written;
  ASSERT_TRUE(readInto(output[0], written, [&] { return written.find("Press Enter") != npos; }))
      << written;
  EXPECT_EQ(written.substr(written.find("Готов: ")),
            "Готов: Готов: Считаю строку: ?=a*3\nРезультаты расчёта: \n  a = 2\n  ? = 6\n"
            "Готов: Press Enter");
  ASSERT_TRUE(waitForRawMode());
  type("x");
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_EQ(WEXITSTATUS(status_), 0);
  expectSettingsRestored();
  close(output[0]);
}
