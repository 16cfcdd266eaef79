// The editor's drawing as the window changes: a window resized while typing, Ctrl+L on screen
// lines wider than the window, and Ctrl+Z and fg under a job-control shell.
#include "terminal_sessions/pseudo_terminal.hpp"

#include <sys/ioctl.h>

namespace {

// The words of a line, whose prompts make a screen line wider than a window of `columns`,
// the last row of it, which the editor takes as its prompt, and how Ctrl+L draws "?=c" there.
struct ScreenLine {
  const char* name;
  unsigned short columns;
  std::string words;
  std::string lastRow;
  std::string redrawn;
};

class CtrlL : public EditingTerminal, public ::testing::WithParamInterface<ScreenLine> {};

// The calculator started as a job by a small job-control shell: in a process group of its own in
// the foreground. When the job stops, the shell takes the terminal back, says so, reads a line
// (as it would read fg) and continues the job in the foreground.
class JobControlShell : public EditingTerminal {
 protected:
  // The job takes the foreground before the program starts, under the shell's ignored SIGTTOU.
  void SetUp() override {
    start([&] {
      std::signal(SIGTTOU, SIG_IGN);
      const pid_t job = fork();
      if (job == 0) {
        setpgid(0, 0);
        tcsetpgrp(STDIN_FILENO, getpgrp());
        std::signal(SIGTTOU, SIG_DFL);
        run();
      }
      setpgid(job, job);
      int status = 0;
      char line[64];
      while (waitpid(job, &status, WUNTRACED) == job && WIFSTOPPED(status)) {
        tcsetpgrp(STDIN_FILENO, getpgrp());
        if (write(STDOUT_FILENO, "[stopped]\n", 10) != 10 || read(STDIN_FILENO, line, 64) <= 0)
          break;
        tcsetpgrp(STDIN_FILENO, job);
        kill(-job, SIGCONT);
      }
      _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 125);
    });
  }
};

// The window's new width; the terminal tells the program with SIGWINCH.
void resize(int terminal, unsigned short columns) {
  const winsize window = {24, columns, 0, 0};
  ASSERT_EQ(ioctl(terminal, TIOCSWINSZ, &window), 0);
}

}  // namespace

// A narrower window: the terminal wraps the long line again, and the editor goes up to its first
// row in the new width and clears to the screen's end before drawing it again, so that no row of
// the old width stays. The line goes on: the first key after the resize counts.
TEST_F(EditingTerminal, AResizedWindowHasTheLineDrawnFromItsFirstRow) {
  std::string line = "?=";
  for (int k = 0; k < 9; ++k)
    line += "123456789+";
  line += "7";  // with the prompt 100 columns: two rows of 80, three of 40
  typeLine(line, "9+7");
  resize(master_, 40);
  ASSERT_TRUE(next("\r\x1b[A\x1b[A\x1b[JГотов: " + line.substr(0, 33))) << screen_;
  type(kCtrlU + "?=1+2\n", "? = 3");
  quit();
}

// A resize with nothing typed draws the prompt again, and the keys after it count.
TEST_P(CtrlL, DrawsTheLastRowOfTheScreenLineAgain) {
  ASSERT_TRUE(awaitLine()) << screen_;
  resize(master_, GetParam().columns);
  typeAfter(kPrompt, GetParam().words);  // the prompt drawn again in the new width
  ASSERT_TRUE(awaitLine("\r" + GetParam().lastRow)) << "the editor's prompt: " << screen_;
  type("?=c" + kCtrlL, kClearScreen + GetParam().redrawn);
  type("\n", "? = 3");
  quit();
}

// Three prompts are 21 columns: at 16 the last row is a part of a prompt, at 14 a whole one;
// four at 14 fill two rows exactly, the last blank left out.
const ScreenLine kScreenLines[] = {
    {"OnePromptAtSixtyColumns", 60, "c=3\n", kPrompt, kPrompt + "?=c"},
    {"PartOfAPrompt", 16, "a=1 b=2 c=3\n", "тов: ", "тов: ?=c"},
    {"AWholePromptAfterAFullRow", 14, "a=1 b=2 c=3\n", kPrompt, kPrompt + "?=c"},
    {"TwoRowsExactly", 14, "a=1 b=2 c=3 d=4\n", "Готов: Готов:", "Готов: Готов:\r\n?=c"},
};
INSTANTIATE_TEST_SUITE_P(WideLines, CtrlL, ::testing::ValuesIn(kScreenLines), rowName<ScreenLine>);

// Ctrl+Z while a line is typed: stopped, the terminal is as found. Continued in a window resized
// meanwhile, the line is drawn again and edited on in the new width, as a list of choices shows.
TEST_F(JobControlShell, CtrlZStopsWithTheTerminalAsFoundAndFgGoesOn) {
  typeLine("?=", "?=");
  type(kCtrlZ, "[stopped]");
  expectSettingsAsFound();
  resize(master_, 20);
  type("fg\n");
  ASSERT_TRUE(awaitLine("?=")) << "the line drawn again: " << screen_;
  type(kTab, kBell);
  type(kTab, "\r\nsin(   cos(\r\ntg(    ctg(\r\nsqrt(  exp(\r\nln(    lg(\r\n");
  type("sqrt(16)\n", "? = 4");
  typeLine(kCtrlZ, "[stopped]");  // stopped again as the first time
  expectSettingsAsFound();
  type("fg\n");
  quit();
}
