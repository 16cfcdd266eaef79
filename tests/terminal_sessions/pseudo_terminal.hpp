// The fixtures of the terminal sessions: the calculator at a pseudo-terminal, read and typed at.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#ifndef CALCULATOR_LIBEDIT
#error "CALCULATOR_LIBEDIT must say (1 or 0) whether the program edits lines with libedit"
#endif

namespace {

using namespace std::chrono_literals;

// The keys as xterm sends them.
const std::string kUp = "\x1b[A";
const std::string kLeft = "\x1b[D";
const std::string kHome = "\x1b[H";
const std::string kEnd = "\x1b[F";
const std::string kDelete = "\x1b[3~";
const std::string kTab = "\t";
const std::string kBackspace = "\x7f";
const std::string kCtrlC = "\x03";
const std::string kCtrlD = "\x04";
const std::string kCtrlK = "\x0b";
const std::string kCtrlL = "\x0c";
const std::string kCtrlR = "\x12";
const std::string kCtrlU = "\x15";
const std::string kCtrlW = "\x17";
const std::string kCtrlZ = "\x1a";
const std::string kAltBackspace = "\x1b\x7f";

const std::string kBell = "\x07";
// xterm's clear screen, which Ctrl+L sends before it draws the line again.
const std::string kClearScreen = "\x1b[2J";
const std::string kPrompt = "Готов: ";
// The prompt without its blank, which the editor may leave out at the end of a full row.
const std::string kPromptWord = "Готов:";
// The editor starts each line by drawing the screen line again from the row's start.
const std::string kEditorPrompt = "\r" + kPrompt;

// How a session starts: the program's TERM (unset when null), whether the program is to edit
// its lines with libedit there, and the local modes that the terminal starts without and with.
struct Start {
  const char* term = "dumb";
  bool editor = false;
  tcflag_t cleared = 0;
  tcflag_t set = 0;
};

// At a dumb terminal lines are read as the terminal's own line discipline delivers them; at an
// xterm libedit edits them.
const Start kDumb{};
const Start kXterm{"xterm", true};

// A row of a table whose sessions differ in their start alone.
struct NamedStart {
  const char* name;
  Start start;
};

// Calls `done` every few milliseconds until it holds (true) or `limit` has passed (false).
template <class Condition>
bool eventually(Condition done, std::chrono::milliseconds limit = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// Reads `fd` into `text` until `found` holds (true), or `limit` has passed or the other side
// has closed (false).
template <class Found>
bool readInto(int fd, std::string& text, Found found, std::chrono::milliseconds limit = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!found()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    pollfd ready = {fd, POLLIN, 0};
    if (poll(&ready, 1, 50) <= 0) continue;
    char bytes[512];
    const ssize_t count = read(fd, bytes, sizeof bytes);
    if (count <= 0) return false;
    text.append(bytes, static_cast<std::size_t>(count));
  }
  return true;
}

// The name of a table's row, for the name of its test.
template <class Row>
std::string rowName(const ::testing::TestParamInfo<Row>& info) {
  return info.param.name;
}

// A row is shown by its name too, where GoogleTest shows a test's parameter (and CTest's names
// of the tests would hold the row's bytes, addresses among them).
template <class Row>
requires requires(const Row& row) {
  row.name;
}
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

// The program at a dumb terminal; what it writes is read into screen_.
class Terminal : public ::testing::Test {
 protected:
  void SetUp() override { start(kDumb); }

  void TearDown() override {
    if (child_ > 0 && !exited_) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    for (const int end : {master_, kept_})
      if (end >= 0) close(end);
  }

  // Starts the program at a new terminal; its standard output goes to `output` when given (a
  // pipe, say). A build without the editor skips a session that needs it.
  void start(const Start& how, int output = -1) {
    startWith(how, [&] {
      if (output >= 0 && dup2(output, STDOUT_FILENO) < 0) _exit(126);
      runProgram(how.term);
    });
  }

  // Opens a terminal as `how` says and runs `child` in a new process whose controlling
  // terminal it is. Its settings are read first, since the program may change them at once.
  template <class Child>
  void startWith(const Start& how, Child child) {
    if (how.editor && !CALCULATOR_LIBEDIT) GTEST_SKIP() << "built without the line editor";
    editing_ = how.editor;
    winsize window = {};
    window.ws_row = 24;
    window.ws_col = 80;
    int terminal = -1;
    ASSERT_EQ(openpty(&master_, &terminal, nullptr, nullptr, &window), 0) << std::strerror(errno);
    termios settings{};
    ASSERT_EQ(tcgetattr(terminal, &settings), 0);
    settings.c_lflag = (settings.c_lflag & ~how.cleared) | how.set;
    ASSERT_EQ(tcsetattr(terminal, TCSANOW, &settings), 0);
    ASSERT_EQ(tcgetattr(terminal, &before_), 0);
    child_ = fork();
    ASSERT_GE(child_, 0) << std::strerror(errno);
    if (child_ == 0) {
      close(master_);
      if (login_tty(terminal) != 0) _exit(126);
      child();
    }
    close(terminal);
  }

  [[noreturn]] void runProgram(const char* term) {
    if (term == nullptr) {
      unsetenv("TERM");
    } else {
      setenv("TERM", term, 1);
    }
    execl(CALCULATOR_PROGRAM, CALCULATOR_PROGRAM, programArgument_, static_cast<char*>(nullptr));
    _exit(127);
  }

  void type(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }

  // Reads the terminal until the text has appeared at or after `from` (true) or a few seconds
  // have passed.
  bool readUntil(const std::string& text, std::size_t from = 0) {
    return readInto(master_, screen_, [&] { return screen_.find(text, from) != npos; });
  }

  // Reads the terminal until the text has appeared after everything matched so far; true
  // then, and later matches start after it.
  bool next(const std::string& text) {
    if (!readUntil(text, matched_)) return false;
    matched_ = screen_.find(text, matched_) + text.size();
    return true;
  }

  // Everything the program wrote after the text.
  std::string screenAfter(const std::string& text) {
    readUntil("\x01never");  // drain what is left
    return screen_.substr(screen_.find(text) + text.size());
  }

  // How often `part` is in what was written between `from` and `to`.
  int occurrences(const std::string& part, std::size_t from, std::size_t to) const {
    int found = 0;
    for (std::size_t at = screen_.find(part, from); at != npos && at + part.size() <= to;
         at = screen_.find(part, at + 1))
      ++found;
    return found;
  }

  // True once the program reads single keys without echo: the editor's keys, or the final key.
  bool waitForRawMode() {
    return eventually([&] {
      termios now{};
      return tcgetattr(master_, &now) == 0 && (now.c_lflag & (ICANON | ECHO)) == 0;
    });
  }

  // Waits until the program asks for a line: its prompt after everything matched so far, and
  // with the editor the terminal switched to single keys, which it does after drawing the
  // prompt; keys typed before that would be echoed by the terminal itself.
  [[nodiscard]] bool awaitLine(const std::string& prompt) {
    return next(prompt) && (!editing_ || waitForRawMode());
  }
  [[nodiscard]] bool awaitLine() { return awaitLine(editing_ ? kEditorPrompt : kPrompt); }

  void typeLine(const std::string& keys) {
    ASSERT_TRUE(awaitLine()) << screen_;
    type(keys);
  }

  // The prompt has been drawn again and the row shows it alone.
  void expectPromptOnANewRow() {
    ASSERT_TRUE(awaitLine()) << screen_;
    EXPECT_EQ(cursorRow(), kPrompt) << screen_;
  }

  bool reportedError() const {
    return screen_.find("Ошибка") != npos || screen_.find("Неизвестная") != npos ||
           screen_.find("Не определено") != npos;
  }

  // The program has written "Press Enter" and reads the final key.
  void awaitFinalKey() {
    ASSERT_TRUE(next("Press Enter")) << screen_;
    ASSERT_TRUE(waitForRawMode());
  }

  // Ends with "q" and one key, and checks that no error was reported on the way, the
  // program's status and the terminal's settings.
  void quit() {
    EXPECT_FALSE(reportedError()) << screen_;
    typeLine("q\n");
    awaitFinalKey();
    type("x");
    expectCleanExit();
  }

  // The window's new size; the terminal tells the program with SIGWINCH.
  void resize(unsigned short rows, unsigned short columns) {
    winsize window = {};
    window.ws_row = rows;
    window.ws_col = columns;
    ASSERT_EQ(ioctl(master_, TIOCSWINSZ, &window), 0);
  }

  bool stillRunning() { return waitpid(child_, &status_, WNOHANG) == 0; }

  bool exitsWithin(std::chrono::milliseconds limit) {
    exited_ = eventually([&] { return waitpid(child_, &status_, WNOHANG) == child_; }, limit);
    return exited_;
  }

  void expectSettingsRestored() {
    termios now{};
    ASSERT_EQ(tcgetattr(master_, &now), 0);
    expectSettingsAsFound(now);
  }

  void expectSettingsAsFound(const termios& settings) {
    EXPECT_EQ(settings.c_lflag, before_.c_lflag);
    EXPECT_EQ(settings.c_iflag, before_.c_iflag);
    EXPECT_EQ(settings.c_oflag, before_.c_oflag);
    EXPECT_EQ(settings.c_cc[VMIN], before_.c_cc[VMIN]);
    EXPECT_EQ(settings.c_cc[VTIME], before_.c_cc[VTIME]);
  }

  // How every session that reaches the final key ends: the program exits by itself within a
  // few seconds, with status 0, and leaves the terminal's settings as it found them.
  void expectCleanExit() {
    ASSERT_TRUE(exitsWithin(5000ms)) << "the program has not ended";
    EXPECT_TRUE(WIFEXITED(status_)) << "ended by signal " << WTERMSIG(status_);
    EXPECT_EQ(WEXITSTATUS(status_), 0);
    expectSettingsRestored();
  }

  // The program is ended by the signal, and leaves the terminal's settings as it found them.
  void expectEndedBy(int signal) {
    ASSERT_TRUE(exitsWithin(5000ms)) << "the program has not ended";
    EXPECT_TRUE(WIFSIGNALED(status_) && WTERMSIG(status_) == signal) << "status " << status_;
    expectSettingsRestored();
  }

  // The row the cursor is on as a terminal shows it, from what was written since the last line
  // end: a return goes to the row's start, characters overwrite what they land on, and the
  // cursor moves and erasures that the editor uses (CSI n G, C, D and K, backspace) apply.
  std::string cursorRow() const {
    std::vector<std::string> cells;
    std::size_t column = 0;
    const std::size_t rowStart = screen_.rfind('\n');
    const std::string row = screen_.substr(rowStart == npos ? 0 : rowStart + 1);
    for (std::size_t at = 0; at < row.size();) {
      const unsigned char byte = static_cast<unsigned char>(row[at]);
      if (byte == '\r') {
        column = 0;
        ++at;
      } else if (byte == '\b') {
        if (column > 0) --column;
        ++at;
      } else if (byte == 0x1B && at + 1 < row.size() && row[at + 1] == '[') {
        std::size_t end = at + 2;
        while (end < row.size() && (row[end] < 0x40 || row[end] > 0x7E))
          ++end;
        if (end == row.size()) break;
        const int count = std::max(1, std::atoi(row.c_str() + at + 2));
        const std::size_t amount = static_cast<std::size_t>(count);
        switch (row[end]) {
          case 'G': column = amount - 1; break;
          case 'H': column = 0; break;
          case 'C': column += amount; break;
          case 'D': column -= std::min(column, amount); break;
          case 'K': cells.resize(std::min(cells.size(), column)); break;
          case 'J': cells.clear(); break;
          default: break;
        }
        at = end + 1;
      } else if (byte < 0x20) {
        ++at;
      } else {
        std::size_t length = 1;
        while (at + length < row.size() &&
               (static_cast<unsigned char>(row[at + length]) & 0xC0) == 0x80)
          ++length;
        if (cells.size() <= column) cells.resize(column + 1, " ");
        cells[column++] = row.substr(at, length);
        at += length;
      }
    }
    std::string shown;
    for (const std::string& cell : cells)
      shown += cell;
    return shown;
  }

  // Keeps the terminal open from this side too, so that what the program leaves unread in its
  // input stays there after the program ends.
  void keepTerminalOpen() {
    kept_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    ASSERT_GE(kept_, 0) << std::strerror(errno);
  }

  // What was typed and never read, once the program has ended; the terminal is then closed.
  std::string inputLeftUnread() {
    termios raw{};
    tcgetattr(kept_, &raw);
    cfmakeraw(&raw);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    tcsetattr(kept_, TCSANOW, &raw);
    char bytes[64];
    const ssize_t count = read(kept_, bytes, sizeof bytes);
    close(kept_);
    kept_ = -1;
    return count > 0 ? std::string(bytes, static_cast<std::size_t>(count)) : std::string();
  }

  static constexpr std::size_t npos = std::string::npos;

  // The one argument of CALCULATOR_PROGRAM, if any: the program that an emulator is to run.
  const char* programArgument_ = nullptr;
  // Whether the program edits its lines with libedit, which draws a prompt of its own.
  bool editing_ = false;
  std::size_t matched_ = 0;

  int master_ = -1;
  int kept_ = -1;
  pid_t child_ = -1;
  int status_ = 0;
  bool exited_ = false;
  termios before_{};
  std::string screen_;
};

// The program at an xterm, where libedit edits its lines.
class EditingTerminal : public Terminal {
 protected:
  void SetUp() override { start(kXterm); }
};

// The program started by the test itself, as it chooses (Terminal::start).
class ChosenStart : public Terminal {
 protected:
  void SetUp() override {}
};

// A table's session, started as its row says (a member `start`).
template <class Row>
class StartedFrom : public Terminal, public ::testing::WithParamInterface<Row> {
 protected:
  void SetUp() override { start(this->GetParam().start); }
};

// A table's session at an xterm.
template <class Row>
class EditingTable : public EditingTerminal, public ::testing::WithParamInterface<Row> {};

// The calculator started by a small job-control shell at the terminal, as a shell starts a
// job: in a process group of its own in the foreground, at an xterm. When the job stops, the
// shell takes the terminal back and reports its settings; told to go on, it continues the job
// in the foreground, as fg does.
class JobControlShell : public Terminal {
 protected:
  void SetUp() override {
    ASSERT_EQ(pipe(reports_), 0);
    ASSERT_EQ(pipe(goOn_), 0);
    startWith(kXterm, [&] { runShell(); });
    if (child_ < 0) return;  // skipped, or failed to start
    ASSERT_TRUE(report(&job_, sizeof job_));
  }

  void TearDown() override {
    if (job_ > 0) kill(job_, SIGKILL);
    Terminal::TearDown();
    for (const int end : {reports_[0], reports_[1], goOn_[0], goOn_[1]})
      close(end);
  }

  // Ctrl+Z: true once the shell reports the job stopped, with the terminal's settings then.
  bool stopped(termios& settings) {
    type(kCtrlZ);
    return report(&settings, sizeof settings);
  }

  void goOn() { ASSERT_EQ(write(goOn_[1], "x", 1), 1); }

 private:
  // The job puts itself in the foreground before the program starts, as the shell ignores
  // SIGTTOU, which a process group not yet in the foreground would get for it.
  [[noreturn]] void runShell() {
    std::signal(SIGTTOU, SIG_IGN);
    const pid_t job = fork();
    if (job == 0) {
      setpgid(0, 0);
      tcsetpgrp(STDIN_FILENO, getpgrp());
      std::signal(SIGTTOU, SIG_DFL);
      runProgram(kXterm.term);
    }
    setpgid(job, job);
    if (write(reports_[1], &job, sizeof job) != sizeof job) _exit(125);
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

  // Reads one report of the shell: true when it came within a few seconds.
  bool report(void* into, std::size_t size) {
    pollfd ready = {reports_[0], POLLIN, 0};
    return poll(&ready, 1, 5000) == 1 &&
           read(reports_[0], into, size) == static_cast<ssize_t>(size);
  }

  int reports_[2] = {-1, -1};
  int goOn_[2] = {-1, -1};
  pid_t job_ = -1;
};

#ifdef CALCULATOR_WINDOWS_PROGRAM
// calculator.exe run by wine at an xterm. The keys are xterm's; wine's console reads them as a
// Windows keyboard's.
class WindowsConsole : public Terminal {
 protected:
  WindowsConsole() { programArgument_ = CALCULATOR_WINDOWS_PROGRAM; }
  void SetUp() override { start({"xterm"}); }

  // The text that the terminal shows, near enough to look for words in it: wine draws its
  // console with control sequences and often writes a blank as an erasure and a step to the
  // right. Steps right become blanks; returns and every other control sequence are left out.
  static std::string shownText(const std::string& screen) {
    std::string text;
    for (std::size_t k = 0; k < screen.size(); ++k) {
      if (screen[k] == '\r') continue;
      if (screen[k] != '\x1b' || k + 1 == screen.size() || screen[k + 1] != '[') {
        text += screen[k];
        continue;
      }
      std::size_t end = k + 2;
      while (end < screen.size() && (screen[end] < '@' || screen[end] > '~'))
        ++end;
      if (end == screen.size()) break;  // the rest of the sequence is still to come
      if (screen[end] == 'C') text.append(std::max(1, std::atoi(&screen[k + 2])), ' ');
      k = end;
    }
    return text;
  }

  // Reads the terminal until the text shows after everything found so far (true), or wine has
  // had ample time: it is slow to start. Once a text has not shown, none is waited for.
  bool shows(const std::string& text) {
    std::size_t at = npos;
    const auto found = [&] { return (at = shownText(screen_).find(text, found_)) != npos; };
    missed_ = missed_ || !readInto(master_, screen_, found, 30s);
    if (missed_) return false;
    found_ = at + text.size();
    return true;
  }

  // Types the keys once the text before them shows (what the program draws after a Tab must be
  // on the screen before the next keys come) and wine's console reads single keys: it switches
  // the terminal over only when the program first reads, and the terminal would echo keys before.
  void typeAfter(const std::string& text, const std::string& keys) {
    ASSERT_TRUE(shows(text)) << shownText(screen_);
    ASSERT_TRUE(waitForRawMode());
    type(keys);
  }
  void typeAtPrompt(const std::string& keys) { typeAfter(kPromptWord, keys); }

  void expectShows(const std::string& text) { EXPECT_TRUE(shows(text)) << shownText(screen_); }

  // Ends with "q" and one key after "Press Enter", which the program waits for; the row is
  // ended after it, for the shell's prompt.
  void quit() {
    typeAtPrompt("q\r");
    ASSERT_TRUE(shows("Press Enter")) << shownText(screen_);
    EXPECT_TRUE(stillRunning());
    type("x");
    ASSERT_TRUE(exitsWithin(30000ms));
    EXPECT_TRUE(WIFEXITED(status_));
    EXPECT_EQ(WEXITSTATUS(status_), 0);
    EXPECT_TRUE(shows("\n")) << "the row of Press Enter is not ended";
  }

  std::size_t found_ = 0;
  bool missed_ = false;
};
#endif

}  // namespace
