// The calculator at a pseudo-terminal where things go wrong most easily: a window resized while
// typing, completion lists, Ctrl+C after several words, screen lines wider than the window, and
// terminal settings other than the default given back however the program ends.
#include <csignal>
#include <string>

#include "terminal_sessions/pseudo_terminal.hpp"

// The editor is closed before the final key: a signal that ends the program while it waits
// for that key ends it as it would anywhere, with the terminal as found.
TEST_F(EditingTerminal, InterruptedWhileWaitingForTheFinalKey) {
  typeLine("q\n");
  ASSERT_TRUE(next("Press Enter"));
  ASSERT_TRUE(waitForRawMode());
  kill(child_, SIGINT);
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_TRUE(WIFSIGNALED(status_) && WTERMSIG(status_) == SIGINT);
  expectSettingsRestored();
}

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

namespace {

// How the input ends: "q" and a key, Ctrl+D on an empty line and a key, or (reading without
// the editor) a word ended by Ctrl+D twice, then a key.
enum class Ending { kQuit, kCtrlD, kInsideWord };

struct Settings {
  const char* name;
  Start start;
  Ending ending;
};

using SettingsGivenBack = StartedFrom<Settings>;

}  // namespace

TEST_P(SettingsGivenBack, TheTerminalIsGivenBackAsItWas) {
  ASSERT_TRUE(readUntil(kPrompt));
  if (GetParam().start.editor) {
    ASSERT_TRUE(waitForRawMode());
    type("a=2 ?=a*3\n");
    ASSERT_TRUE(next("? = 6")) << screen_;
    ASSERT_TRUE(next(kEditorPrompt)) << screen_;
    ASSERT_TRUE(waitForRawMode());
  } else {
    type("a=2 ?=a*3\n");
    ASSERT_TRUE(next("? = 6")) << screen_;
  }
  switch (GetParam().ending) {
    case Ending::kQuit: type("q\n"); break;
    case Ending::kCtrlD: type(kCtrlD); break;
    case Ending::kInsideWord: type("?=a+1" + kCtrlD + kCtrlD); break;
  }
  ASSERT_TRUE(next("Press Enter")) << screen_;
  if (GetParam().ending == Ending::kInsideWord) {
    EXPECT_NE(screen_.find("? = 3"), std::string::npos) << "the last word counts";
  }
  ASSERT_TRUE(waitForRawMode());
  type("x");
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_TRUE(WIFEXITED(status_));
  EXPECT_EQ(WEXITSTATUS(status_), 0);
  expectSettingsRestored();
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsGivenBack,
    ::testing::Values(
        Settings{"EditorDefaultQuit", kXterm, Ending::kQuit},
        Settings{"EditorDefaultCtrlD", kXterm, Ending::kCtrlD},
        Settings{"EditorNoEchoctlNoflshQuit", {"xterm", true, ECHOCTL, NOFLSH}, Ending::kQuit},
        Settings{"EditorNoEchoctlNoflshCtrlD", {"xterm", true, ECHOCTL, NOFLSH}, Ending::kCtrlD},
        Settings{"EditorNoIcanonQuit", {"xterm", true, ECHOCTL | ICANON, NOFLSH}, Ending::kQuit},
        Settings{"EditorNoIcanonCtrlD", {"xterm", true, ECHOCTL | ICANON, NOFLSH}, Ending::kCtrlD},
        Settings{"PlainDefaultQuit", kDumb, Ending::kQuit},
        Settings{"PlainDefaultCtrlD", kDumb, Ending::kCtrlD},
        Settings{"PlainDefaultInsideWord", kDumb, Ending::kInsideWord},
        Settings{"PlainNoEchoctlNoflshQuit", {"dumb", false, ECHOCTL, NOFLSH}, Ending::kQuit},
        Settings{"PlainNoEchoctlNoflshCtrlD", {"dumb", false, ECHOCTL, NOFLSH}, Ending::kCtrlD},
        Settings{"PlainNoEchoctlNoflshInsideWord",
                 {"dumb", false, ECHOCTL, NOFLSH},
                 Ending::kInsideWord},
        Settings{"PlainNoIcanonQuit", {"dumb", false, ECHOCTL | ICANON, NOFLSH}, Ending::kQuit}),
    rowName<Settings>);

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
