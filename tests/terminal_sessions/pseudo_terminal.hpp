// The fixture of the terminal sessions: the calculator at a pseudo-terminal, read and typed at.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <tuple>

#ifndef CALCULATOR_LIBEDIT
#error "CALCULATOR_LIBEDIT must say (1 or 0) whether the program edits lines with libedit"
#endif

namespace {

using namespace std::chrono_literals;

// The keys as xterm sends them, the bell and xterm's clear screen.
const std::string kUp = "\x1b[A", kLeft = "\x1b[D", kHome = "\x1b[H", kEnd = "\x1b[F";
const std::string kDelete = "\x1b[3~", kTab = "\t", kBackspace = "\x7f", kAltBackspace = "\x1b\x7f";
const std::string kCtrlC = "\x03", kCtrlD = "\x04", kCtrlK = "\x0b", kCtrlL = "\x0c";
const std::string kCtrlR = "\x12", kCtrlU = "\x15", kCtrlW = "\x17", kCtrlZ = "\x1a";
const std::string kBell = "\x07", kClearScreen = "\x1b[2J";

const std::string kPrompt = "Готов: ";
// The editor starts each line by drawing the screen line again from the row's start.
const std::string kEditorPrompt = "\r" + kPrompt;

// How a session starts: the program's TERM (unset when null), whether the program is to edit
// its lines with libedit there, and the local modes that the terminal starts without and with.
struct Start {
  const char* term = "dumb";
  bool editor = false;
  tcflag_t cleared = 0, set = 0;
};
const Start kDumb{}, kXterm{"xterm", true};

// A row of a table whose sessions differ in their start alone.
struct NamedStart {
  const char* name;
  Start start;
};

// A row names its test, and is shown by its name (not its bytes, which CTest's names would hold).
template <class Row>
std::string rowName(const ::testing::TestParamInfo<Row>& info) {
  return info.param.name;
}
template <class Row>
requires std::is_same_v<decltype(Row::name), const char*>
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

// The program at a new terminal of 24 rows, 80 columns, started as `how` says; its output in
// screen_.
class Terminal : public ::testing::Test {
 protected:
  explicit Terminal(const Start& how = kDumb) : how_(how) {}
  void SetUp() override { start(); }

  void TearDown() override {
    if (child_ > 0 && !exited_) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
  }

  // Runs the program with the new terminal as its controlling one, after `prepare` there (which
  // may run another program instead). A build without the editor skips a session needing it.
  void start(const std::function<void()>& prepare = {}) {
    if (how_.editor && !CALCULATOR_LIBEDIT) GTEST_SKIP() << "built without the line editor";
    keysRaw_ = how_.editor;
    prompt_ = how_.editor ? kEditorPrompt : kPrompt;
    winsize window = {24, 80, 0, 0};
    int terminal = -1;
    ASSERT_EQ(openpty(&master_, &terminal, nullptr, nullptr, &window), 0) << std::strerror(errno);
    ASSERT_EQ(tcgetattr(terminal, &before_), 0);
    before_.c_lflag = (before_.c_lflag & ~how_.cleared) | how_.set;
    ASSERT_EQ(tcsetattr(terminal, TCSANOW, &before_), 0);
    child_ = fork();
    ASSERT_GE(child_, 0) << std::strerror(errno);
    if (child_ == 0) {
      close(master_);
      if (login_tty(terminal) != 0) _exit(126);
      if (prepare) prepare();
      run();
    }
    close(terminal);
  }

  [[noreturn]] void run() const {
    how_.term ? setenv("TERM", how_.term, 1) : unsetenv("TERM");
    execl(CALCULATOR_PROGRAM, CALCULATOR_PROGRAM, argument_, static_cast<char*>(nullptr));
    _exit(127);
  }

  // Types `keys`, then waits for `shows`, if given, to show.
  void type(const std::string& keys, const std::string& shows = "") {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    ASSERT_TRUE(shows.empty() || next(shows)) << "awaited " << shows << " in: " << shown();
  }

  // Waits until `done` holds (true) or patience_ has passed (false), reading what `fd` has for
  // `text` meanwhile, if given, as long as its other side is open (false when it closes).
  template <class Condition>
  bool eventually(Condition done, int fd = -1, std::string* text = nullptr) const {
    const auto deadline = std::chrono::steady_clock::now() + patience_;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      pollfd ready = {fd, POLLIN, 0};  // none (-1): a pause
      if (poll(&ready, 1, 10) <= 0 || text == nullptr) continue;
      char bytes[512];
      const ssize_t count = read(fd, bytes, sizeof bytes);
      if (count <= 0) return false;
      text->append(bytes, static_cast<std::size_t>(count));
    }
    return true;
  }

  // What the terminal shows, near enough to look for texts in.
  virtual std::string shown() const { return screen_; }

  // Reads the terminal until the text shows at or after `from` (true), or the terminal has
  // closed or patience_ has passed. Once a text has not shown, none is waited for.
  bool readUntil(const std::string& text, std::size_t from) {
    const auto found = [&] { return shown().find(text, from) != npos; };
    missed_ = missed_ || !eventually(found, master_, &screen_);
    return !missed_;
  }

  // Reads until the text shows after everything matched so far; later matches start after it.
  bool next(const std::string& text) {
    if (!readUntil(text, matched_)) return false;
    matched_ = shown().find(text, matched_) + text.size();
    return true;
  }

  int occurrencesAfter(std::size_t from, const std::string& part) const {
    int found = 0;
    for (std::size_t at = screen_.find(part, from); at != npos; at = screen_.find(part, at + 1))
      ++found;
    return found;
  }

  // True once the program reads single keys without echo: the editor's keys, or the final key.
  bool waitForRawMode() {
    termios now{};
    return eventually(
        [&] { return !tcgetattr(master_, &now) && !(now.c_lflag & (ICANON | ECHO)); });
  }

  // Waits for `text`, and where the program reads single keys, for the switch it makes after
  // drawing the prompt: keys typed before would be echoed by the terminal itself.
  [[nodiscard]] bool awaitLine(const std::string& text) {
    return next(text) && (!keysRaw_ || waitForRawMode());
  }
  [[nodiscard]] bool awaitLine() { return awaitLine(prompt_); }

  void typeAfter(const std::string& text, const std::string& keys, const std::string& shows = "") {
    ASSERT_TRUE(awaitLine(text)) << shown();
    type(keys, shows);
  }
  void typeLine(const std::string& keys, const std::string& shows = "") {
    typeAfter(prompt_, keys, shows);
  }

  // One key after "Press Enter", once the program reads single keys, ends it and the row.
  void pressTheFinalKey() {
    ASSERT_TRUE(next("Press Enter") && waitForRawMode()) << shown();
    EXPECT_TRUE(stillRunning());
    type("x");
    expectCleanExit();
    EXPECT_TRUE(next("\n")) << "the row of Press Enter is not ended: " << shown();
  }

  // Ends with "q" and the final key, no error reported on the way.
  void quit() {
    for (const char* error : {"Ошибка", "Неизвестная", "Не определено"})
      EXPECT_EQ(screen_.find(error), npos) << screen_;
    typeLine("q\n");
    pressTheFinalKey();
  }

  bool stillRunning() { return waitpid(child_, &status_, WNOHANG) == 0; }

  bool exits() {
    return exited_ = eventually([&] { return waitpid(child_, &status_, WNOHANG) == child_; });
  }

  void expectSettingsAsFound() {
    termios now{};
    ASSERT_EQ(tcgetattr(master_, &now), 0);
    const auto settings = [](const termios& t) {
      return std::tuple(t.c_lflag, t.c_iflag, t.c_oflag, +t.c_cc[VMIN], +t.c_cc[VTIME]);
    };
    EXPECT_EQ(settings(now), settings(before_));
  }

  // The program exits by itself, with status 0, leaving the terminal's settings as it found them.
  void expectCleanExit() {
    ASSERT_TRUE(exits()) << "the program has not ended";
    EXPECT_TRUE(WIFEXITED(status_)) << "ended by signal " << WTERMSIG(status_);
    EXPECT_EQ(WEXITSTATUS(status_), 0);
    expectSettingsAsFound();
  }

  static constexpr std::size_t npos = std::string::npos;

  const Start how_;
  // The one argument of CALCULATOR_PROGRAM, if any: the program that an emulator is to run.
  const char* argument_ = nullptr;
  // Whether the program reads single keys at its prompt, as the editor does.
  bool keysRaw_ = false;
  std::string prompt_;
  std::chrono::milliseconds patience_ = 5s;

  int master_ = -1, status_ = 0;
  pid_t child_ = -1;
  bool exited_ = false, missed_ = false;
  termios before_{};
  std::string screen_;
  std::size_t matched_ = 0;
};

// The program at an xterm, where libedit edits its lines.
struct EditingTerminal : Terminal {
  EditingTerminal() : Terminal(kXterm) {}
};

// The same, with `prepare` run in the program's process before it starts.
template <void (*prepare)()>
struct EditingTerminalAfter : EditingTerminal {
  void SetUp() override { start(prepare); }
};

// A table's session, started as its row says (a member `start`).
template <class Row>
struct Table : Terminal, ::testing::WithParamInterface<Row> {
  Table() : Terminal(Table::GetParam().start) {}
};

}  // namespace
