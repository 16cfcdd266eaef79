// The calculator at a pseudo-terminal where things go wrong most easily: a window resized while
// typing, completion lists, Ctrl+C after several words, screen lines wider than the window, and
// terminal settings other than the default given back however the program ends.
#include <csignal>
#include <string>

#include "terminal_sessions/pseudo_terminal.hpp"

namespace {

// The prompt without its blank, which the editor may leave out at the end of a full row.
const std::string kPromptWord = "Готов:";
// xterm's clear screen, which Ctrl+L sends before it draws the line again.
const std::string kClearScreen = "\x1b[2J";

int count(const std::string& text, const std::string& part) {
  int found = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++found;
  return found;
}

}  // namespace

TEST_F(EditingTerminal, ResizedWhileTypingTheLineGoesOn) {
  typeLine("?=1");
  ASSERT_TRUE(next("?=1"));
  resize(24, 60);
  ASSERT_TRUE(next("?=1")) << "the line is drawn again in the new width: " << screen_;
  type("+2\n");  // the first key after the resize counts
  ASSERT_TRUE(next("? = 3")) << screen_;
  // The editor reads keys again, and a second resize with nothing typed is no different.
  typeLine("?=2*3\n");
  ASSERT_TRUE(next("? = 6")) << screen_;
  ASSERT_TRUE(next(kEditorPrompt)) << screen_;
  resize(30, 40);
  ASSERT_TRUE(next(kPrompt)) << screen_;
  type("?=4+4\n");
  ASSERT_TRUE(next("? = 8")) << screen_;
  EXPECT_FALSE(reportedError()) << screen_;
  quit();
}

// Ten names that share "counter": the first Tab after the whole shared part rings, the second
// lists them all in rows of seven at 80 columns, and the line is drawn again below the list.
TEST_F(EditingTerminal, TwoTabsOnAnAmbiguousWordRingThenList) {
  for (int i = 1; i <= 10; ++i)
    typeLine("counter" + std::to_string(i) + "=" + std::to_string(i) + "\n");
  // Tab adds what every candidate shares and no more.
  typeLine("?=cou" + kTab + "5\n");
  ASSERT_TRUE(next("? = 5")) << screen_;

  typeLine("?=counter" + kTab);
  ASSERT_TRUE(next(kBell)) << screen_;
  const std::size_t afterBell = matched_;
  type(kTab);
  const std::string list =
      "\r\ncounter1   counter2   counter3   counter4   counter5   counter6   counter7\r\n"
      "counter8   counter9   counter10\r\n";
  ASSERT_TRUE(next(list)) << screen_;
  EXPECT_EQ(screen_.find("counter1 ", afterBell), matched_ - list.size() + 2)
      << "the first Tab listed: " << screen_;
  ASSERT_TRUE(next(kPrompt + "?=counter")) << "the prompt and the line after the list: " << screen_;
  type("10*2\n");
  ASSERT_TRUE(next("? = 20")) << screen_;
  EXPECT_FALSE(reportedError()) << screen_;
  quit();
}

TEST_F(EditingTerminal, CtrlCAfterALineOfTwoWordsGivesOnePrompt) {
  typeLine("a=1 b=2\n");
  typeLine("?=a+");
  ASSERT_TRUE(next("?=a+"));
  type(kCtrlC);
  ASSERT_TRUE(next("^C\r\n"));
  const std::size_t afterCtrlC = matched_;
  ASSERT_TRUE(next(kPrompt)) << screen_;
  ASSERT_TRUE(waitForRawMode());
  type("?=a+b\n");
  ASSERT_TRUE(next("?=a+b")) << screen_;
  EXPECT_EQ(count(screen_.substr(afterCtrlC, matched_ - afterCtrlC), kPrompt), 1) << screen_;
  ASSERT_TRUE(next("? = 3")) << screen_;
  quit();
}

// After a line of one word and Enter, the next line starts with the one prompt written for it,
// which the editor then draws again from the row's start: twice in what the terminal receives.
TEST_F(EditingTerminal, EachLineAfterEnterHasOnePrompt) {
  ASSERT_TRUE(next("h - для помощи\r\n"));
  const std::size_t afterBanner = matched_;
  typeLine("a=1\n");
  ASSERT_TRUE(next("a=1"));
  EXPECT_EQ(count(screen_.substr(afterBanner, matched_ - afterBanner), kPromptWord), 2) << screen_;
  typeLine("b=2\n");
  ASSERT_TRUE(next("b=2"));
  const std::size_t afterLine = matched_;
  ASSERT_TRUE(next(kEditorPrompt)) << screen_;
  ASSERT_TRUE(waitForRawMode());
  type("?=a+b\n");
  ASSERT_TRUE(next("?=a+b")) << screen_;
  EXPECT_EQ(count(screen_.substr(afterLine, matched_ - afterLine), kPromptWord), 2) << screen_;
  ASSERT_TRUE(next("? = 3")) << screen_;
  quit();
}

// Enter on an empty line, or on blanks alone, asks for the next line, without a prompt of its
// own as when standard input is read; it ends nothing.
TEST_F(EditingTerminal, EnterWithoutAWordAsksForTheNextLine) {
  typeLine("\n   \n?=2\n");
  ASSERT_TRUE(next("? = 2")) << screen_;
  EXPECT_EQ(screen_.find("Press Enter"), std::string::npos) << screen_;
  quit();
}

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
  UnknownTerminal() { terminalType_ = "no-such-terminal"; }
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

// Ctrl+C in the middle of the line shows the whole line, then "^C" after it.
TEST_F(EditingTerminal, CtrlCInsideTheLineMarksItsEnd) {
  const std::string left = "\x1b[D";
  typeLine("?=12");
  ASSERT_TRUE(next("?=12"));
  type(left + left);
  ASSERT_TRUE(next("\b\b"));  // the cursor on the "1"
  type(kCtrlC);
  ASSERT_TRUE(next("^C\r\n")) << screen_;
  EXPECT_EQ(screen_.find("^C1"), std::string::npos) << screen_;
  typeLine("?=3\n");
  ASSERT_TRUE(next("? = 3")) << screen_;
  quit();
}

// A character of several bytes is one key: one Backspace takes it away whole.
TEST_F(EditingTerminal, ACharacterOfSeveralBytesIsOneKey) {
  typeLine("?=1+2я€\x7f\x7f\n");
  ASSERT_TRUE(next("? = 3")) << screen_;
  // A byte that cannot continue a character drops the character begun; what follows counts.
  typeLine(
      "?=4+\xd1\xff"
      "5\n");
  ASSERT_TRUE(next("? = 9")) << screen_;
  EXPECT_FALSE(reportedError()) << screen_;
  quit();
}

// Ctrl+R searches the earlier lines as the search text is typed; Enter takes the line found.
TEST_F(EditingTerminal, CtrlRFindsAnEarlierLine) {
  typeLine("a=5\n");
  typeLine("?=a*7\n");
  ASSERT_TRUE(next("? = 35")) << screen_;
  typeLine("b=1\n");
  typeLine("\x12");
  type("a*");
  ASSERT_TRUE(next("?=a*7")) << "the line found: " << screen_;
  type("\n");
  ASSERT_TRUE(next("Считаю строку: ?=a*7")) << screen_;
  ASSERT_TRUE(next("? = 35")) << screen_;
  EXPECT_FALSE(reportedError()) << screen_;
  quit();
}

// A word that names one stored line and nothing more: Tab has nothing to add and rings no bell.
TEST_F(EditingTerminal, TabOnACompleteWordDoesNothing) {
  typeLine("alpha=1\n");
  typeLine("?=alpha" + kTab + "+1\n");
  ASSERT_TRUE(next("? = 2")) << screen_;
  EXPECT_EQ(screen_.find(kBell), std::string::npos) << screen_;
  quit();
}

// In a window 16 columns wide the prompts of three words (21 columns) wrap inside the third:
// Ctrl+L draws the row from there on, a part of a prompt.
TEST_F(EditingTerminal, CtrlLDrawsTheWrappedPartOfAPrompt) {
  ASSERT_TRUE(next(kEditorPrompt));
  ASSERT_TRUE(waitForRawMode());
  resize(24, 16);
  ASSERT_TRUE(next(kPrompt)) << "drawn again in the new width: " << screen_;
  type("a=1 b=2 c=3\n");
  ASSERT_TRUE(next("\rтов: ")) << "the editor's prompt is the last row: " << screen_;
  ASSERT_TRUE(waitForRawMode());
  type("?=a+c" + kCtrlL);
  ASSERT_TRUE(next(kClearScreen)) << screen_;
  const std::size_t cleared = matched_;
  ASSERT_TRUE(next("тов: ?=a+c")) << screen_;
  EXPECT_EQ(count(screen_.substr(cleared, matched_ - cleared), kPromptWord), 0) << screen_;
  type("\n");
  ASSERT_TRUE(next("? = 4")) << screen_;
  quit();
}

// A second Tab lists only where the first left the line and the cursor; another line, or the
// cursor elsewhere, rings again, even where the line's text and the cursor's column written
// side by side would read the same.
TEST_F(EditingTerminal, ASecondTabElsewhereRingsAgain) {
  const std::string left = "\x1b[D";
  const std::string home = "\x1b[H";
  const std::string end = "\x1b[F";
  typeLine("?=111+222+55" + left + left + kTab);  // after "+": every function and name
  ASSERT_TRUE(next(kBell)) << screen_;
  type(end + "1" + home + kTab);  // "?=111+222+551", cursor 0: every command
  ASSERT_TRUE(next(kBell)) << screen_;
  type(end + "\n");
  ASSERT_TRUE(next("? = 884")) << screen_;
  EXPECT_EQ(screen_.find("help"), std::string::npos) << "a list after one Tab: " << screen_;
  quit();
}

// The editor recalls the last 500 lines typed: the 501st line back is gone.
TEST_F(EditingTerminal, UpRecallsTheLast500Lines) {
  for (int i = 1; i <= 501; ++i)
    typeLine("a=" + std::to_string(i) + "\n");
  std::string ups;
  for (int i = 0; i < 501; ++i)
    ups += "\x1b[A";
  typeLine(ups + "\n");  // as far back as it goes: a=2
  typeLine("?=a\n");
  ASSERT_TRUE(next("? = 2")) << screen_.substr(screen_.size() - 300);
  quit();
}

// In a window 14 columns wide, the prompts of four words fill exactly two rows and those of
// three words a row and a half; Ctrl+L draws the last row of each again with the typed line.
TEST_F(EditingTerminal, CtrlLDrawsTheLastRowOfAWideScreenLine) {
  ASSERT_TRUE(next(kEditorPrompt));
  ASSERT_TRUE(waitForRawMode());
  resize(24, 14);
  ASSERT_TRUE(next(kPrompt)) << "drawn again in the new width: " << screen_;
  type("a=1 b=2 c=3 d=4\n");
  typeLine("?=a+d" + kCtrlL);
  ASSERT_TRUE(next(kClearScreen)) << screen_;
  std::size_t cleared = matched_;
  ASSERT_TRUE(next("?=a+d")) << screen_;
  EXPECT_EQ(count(screen_.substr(cleared, matched_ - cleared), kPromptWord), 2) << screen_;
  type("\n");
  ASSERT_TRUE(next("? = 5")) << screen_;

  typeLine("e=5 f=6 g=7\n");
  typeLine("?=b+c" + kCtrlL);
  ASSERT_TRUE(next(kClearScreen)) << screen_;
  cleared = matched_;
  ASSERT_TRUE(next("?=b+c")) << screen_;
  EXPECT_EQ(count(screen_.substr(cleared, matched_ - cleared), kPromptWord), 1) << screen_;
  type("\n");
  ASSERT_TRUE(next("? = 5")) << screen_;
  EXPECT_FALSE(reportedError()) << screen_;
  quit();
}

namespace {

// The calculator started by a small job-control shell at the terminal, as a shell starts a
// job: in a process group of its own in the foreground. When the job stops, the shell takes
// the terminal back and reports its settings; told to go on, it continues the job in the
// foreground, as fg does.
class JobControlShell : public EditingTerminal {
 protected:
  void SetUp() override {
    int terminal = -1;
    openTerminal(terminal);
    if (HasFatalFailure()) return;
    int ready[2];
    ASSERT_EQ(pipe(reports_), 0);
    ASSERT_EQ(pipe(goOn_), 0);
    ASSERT_EQ(pipe(ready), 0);
    child_ = fork();
    ASSERT_GE(child_, 0) << std::strerror(errno);
    if (child_ == 0) {
      close(master_);
      if (login_tty(terminal) != 0) _exit(126);
      std::signal(SIGTTOU, SIG_IGN);
      const pid_t job = fork();
      if (job == 0) {
        setpgid(0, 0);
        std::signal(SIGTTOU, SIG_DFL);
        char byte = 0;
        if (read(ready[0], &byte, 1) != 1) _exit(125);
        setenv("TERM", "xterm", 1);
        execl(CALCULATOR_PROGRAM, CALCULATOR_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
      }
      setpgid(job, job);
      tcsetpgrp(STDIN_FILENO, job);
      if (write(reports_[1], &job, sizeof job) != sizeof job) _exit(125);
      if (write(ready[1], "x", 1) != 1) _exit(125);
      int status = 0;
      while (waitpid(job, &status, WUNTRACED) == job) {
        if (!WIFSTOPPED(status)) _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 125);
        tcsetpgrp(STDIN_FILENO, getpgrp());
        termios stopped{};
        tcgetattr(STDIN_FILENO, &stopped);
        char byte = 0;
        if (write(reports_[1], &stopped, sizeof stopped) != sizeof stopped ||
            read(goOn_[0], &byte, 1) != 1)
          _exit(125);
        tcsetpgrp(STDIN_FILENO, job);
        kill(-job, SIGCONT);
      }
      _exit(125);
    }
    close(terminal);
    close(ready[0]);
    close(ready[1]);
    ASSERT_TRUE(report(&job_, sizeof job_));
  }

  void TearDown() override {
    if (job_ > 0) kill(job_, SIGKILL);
    EditingTerminal::TearDown();
    for (const int end : {reports_[0], reports_[1], goOn_[0], goOn_[1]})
      close(end);
  }

  // Reads one report of the shell: true when it came within a few seconds.
  bool report(void* into, std::size_t size) {
    pollfd ready = {reports_[0], POLLIN, 0};
    return poll(&ready, 1, 5000) == 1 &&
           read(reports_[0], into, size) == static_cast<ssize_t>(size);
  }

  void goOn() { ASSERT_EQ(write(goOn_[1], "x", 1), 1); }

  int reports_[2] = {-1, -1};
  int goOn_[2] = {-1, -1};
  pid_t job_ = -1;
};

}  // namespace

// Ctrl+Z while a line is typed: stopped, the terminal is as the shell left it; continued, the
// line is drawn again and the editing goes on where it was.
TEST_F(JobControlShell, CtrlZStopsWithTheTerminalAsFoundAndFgGoesOn) {
  typeLine("?=1+");
  ASSERT_TRUE(next("?=1+"));
  type("\x1a");
  termios stopped{};
  ASSERT_TRUE(report(&stopped, sizeof stopped)) << "the program did not stop: " << screen_;
  EXPECT_EQ(stopped.c_lflag, before_.c_lflag);
  EXPECT_EQ(stopped.c_iflag, before_.c_iflag);
  EXPECT_EQ(stopped.c_oflag, before_.c_oflag);
  goOn();
  ASSERT_TRUE(next("?=1+")) << "the line drawn again: " << screen_;
  ASSERT_TRUE(waitForRawMode());
  type("2\n");
  ASSERT_TRUE(next("? = 3")) << screen_;
  quit();
}

// A window resized while the program is stopped: continued, the editor works in the new width,
// and a list of choices has the rows that width holds.
TEST_F(JobControlShell, ContinuedInAWindowResizedMeanwhile) {
  typeLine("?=");
  ASSERT_TRUE(next("?="));
  type("\x1a");
  termios stopped{};
  ASSERT_TRUE(report(&stopped, sizeof stopped)) << "the program did not stop: " << screen_;
  resize(24, 20);
  goOn();
  ASSERT_TRUE(next("?=")) << "the line drawn again: " << screen_;
  ASSERT_TRUE(waitForRawMode());
  type(kTab);
  ASSERT_TRUE(next(kBell)) << screen_;
  type(kTab);
  ASSERT_TRUE(next("\r\nsin(   cos(\r\ntg(    ctg(\r\nsqrt(  exp(\r\nln(    lg(\r\n")) << screen_;
  type("sqrt(16)\n");
  ASSERT_TRUE(next("? = 4")) << screen_;
  quit();
}

namespace {

// How the input ends: "q" and a key, Ctrl+D on an empty line and a key, or (reading without
// the editor) a word ended by Ctrl+D twice, then a key.
enum class Ending { kQuit, kCtrlD, kInsideWord };

struct Start {
  const char* name;
  bool editor;
  tcflag_t cleared;  // local modes the terminal starts without
  tcflag_t set;      // and with
  Ending ending;
};

std::string nameOf(const ::testing::TestParamInfo<Start>& info) {
  const char* endings[] = {"Quit", "CtrlD", "InsideWord"};
  return std::string(info.param.editor ? "Editor" : "Plain") + info.param.name +
         endings[static_cast<int>(info.param.ending)];
}

// The program started at a terminal whose local modes and TERM the test chose; no TERM at all
// for a null type.
class ChosenStart : public Terminal {
 protected:
  void SetUp() override {}

  // Standard output goes to `output` when it is given, a pipe say, and to the terminal else.
  void start(const char* type, tcflag_t cleared, tcflag_t set, int output = -1) {
    winsize window = {};
    window.ws_row = 24;
    window.ws_col = 80;
    int terminal = -1;
    ASSERT_EQ(openpty(&master_, &terminal, nullptr, nullptr, &window), 0) << std::strerror(errno);
    termios settings{};
    ASSERT_EQ(tcgetattr(terminal, &settings), 0);
    settings.c_lflag &= ~cleared;
    settings.c_lflag |= set;
    ASSERT_EQ(tcsetattr(terminal, TCSANOW, &settings), 0);
    ASSERT_EQ(tcgetattr(terminal, &before_), 0);
    child_ = fork();
    ASSERT_GE(child_, 0) << std::strerror(errno);
    if (child_ == 0) {
      close(master_);
      if (login_tty(terminal) != 0) _exit(126);
      if (output >= 0 && dup2(output, STDOUT_FILENO) < 0) _exit(126);
      if (type == nullptr) {
        unsetenv("TERM");
      } else {
        setenv("TERM", type, 1);
      }
      execl(CALCULATOR_PROGRAM, CALCULATOR_PROGRAM, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(terminal);
  }
};

class StartedFrom : public ChosenStart, public ::testing::WithParamInterface<Start> {
 protected:
  void SetUp() override {
    start(GetParam().editor ? "xterm" : "dumb", GetParam().cleared, GetParam().set);
  }

  // True once the program reads single keys without echo: the editor's keys, or the final key.
  bool waitForKeysWithoutEcho() {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    termios now{};
    while (std::chrono::steady_clock::now() < deadline) {
      if (tcgetattr(master_, &now) == 0 && (now.c_lflag & (ICANON | ECHO)) == 0) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }
};

}  // namespace

TEST_P(StartedFrom, TheTerminalIsGivenBackAsItWas) {
  ASSERT_TRUE(readUntil(kPrompt));
  if (GetParam().editor) {
    ASSERT_TRUE(waitForKeysWithoutEcho());
    type("a=2 ?=a*3\n");
    ASSERT_TRUE(next("? = 6")) << screen_;
    ASSERT_TRUE(next(kEditorPrompt)) << screen_;
    ASSERT_TRUE(waitForKeysWithoutEcho());
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
  ASSERT_TRUE(waitForKeysWithoutEcho());
  type("x");
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_TRUE(WIFEXITED(status_));
  EXPECT_EQ(WEXITSTATUS(status_), 0);
  expectSettingsRestored();
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartedFrom,
    ::testing::Values(Start{"Default", true, 0, 0, Ending::kQuit},
                      Start{"Default", true, 0, 0, Ending::kCtrlD},
                      Start{"NoEchoctlNoflsh", true, ECHOCTL, NOFLSH, Ending::kQuit},
                      Start{"NoEchoctlNoflsh", true, ECHOCTL, NOFLSH, Ending::kCtrlD},
                      Start{"NoIcanon", true, ECHOCTL | ICANON, NOFLSH, Ending::kQuit},
                      Start{"NoIcanon", true, ECHOCTL | ICANON, NOFLSH, Ending::kCtrlD},
                      Start{"Default", false, 0, 0, Ending::kQuit},
                      Start{"Default", false, 0, 0, Ending::kCtrlD},
                      Start{"Default", false, 0, 0, Ending::kInsideWord},
                      Start{"NoEchoctlNoflsh", false, ECHOCTL, NOFLSH, Ending::kQuit},
                      Start{"NoEchoctlNoflsh", false, ECHOCTL, NOFLSH, Ending::kCtrlD},
                      Start{"NoEchoctlNoflsh", false, ECHOCTL, NOFLSH, Ending::kInsideWord},
                      Start{"NoIcanon", false, ECHOCTL | ICANON, NOFLSH, Ending::kQuit}),
    nameOf);

// Without TERM there is no terminal to drive: lines are read as the terminal delivers them.
TEST_F(ChosenStart, WithoutTermLinesAreReadPlainly) {
  start(nullptr, 0, 0);
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
  start("xterm", 0, 0, output[1]);
  close(output[1]);
  type("a=2 ?=a*3\nq\n");
  std::string written;
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (written.find("Press Enter") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    pollfd ready = {output[0], POLLIN, 0};
    if (poll(&ready, 1, 50) <= 0) continue;
    char bytes[256];
    const ssize_t count = read(output[0], bytes, sizeof bytes);
    if (count <= 0) break;
    written.append(bytes, static_cast<std::size_t>(count));
  }
  ASSERT_NE(written.find("Press Enter"), std::string::npos) << written;
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
