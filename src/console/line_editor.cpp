// The line editor on POSIX terminals, built on libedit's own interface (histedit.h).
#include "console/line_editor.hpp"

#include <histedit.h>
#include <langinfo.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iostream>
#include <streambuf>
#include <string_view>
#include <utility>
#include <vector>

#include "console/completion.hpp"
#include "workspace/capacities.hpp"
#include "workspace/workspace.hpp"

namespace {

EditLine* editor = nullptr;
History* typedLines = nullptr;
FILE* editorErrors = nullptr;  // the editor's own complaints go nowhere: the dialogue is stdout

// The terminal's settings when the editor took it over; every way out restores them.
termios foundTerminal;

// ---- The screen line --------------------------------------------------------------------

// What stands on the screen's current line: everything written to standard output since its
// last line end. The editor draws this text again as its prompt, so that its redisplay
// (Ctrl+L, a long line, a resized window) shows the line as the dialogue left it.
std::string screenLine;

// Where in screenLine the text written since the last word was taken starts: the prompt for
// that word, after whatever handling the word wrote on the line.
std::size_t promptStart = 0;

// Passes what is written to standard output on, keeping screenLine up to date. It is a
// stream buffer because that is how standard output can be watched without changing its users.
class ScreenLineWatch : public std::streambuf {
 public:
  std::streambuf* target = nullptr;

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof()))
      return target->pubsync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
    note(traits_type::to_char_type(c));
    return target->sputc(traits_type::to_char_type(c));
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    for (std::streamsize i = 0; i < count; ++i)
      note(text[i]);
    return target->sputn(text, count);
  }

  int sync() override { return target->pubsync(); }

 private:
  static void note(char c) {
    if (c == '\n') {
      screenLine.clear();
      promptStart = 0;
    } else {
      screenLine += c;
    }
  }
};

ScreenLineWatch screenLineWatch;

// The prompt of the line being read: the last screen row of screenLine. A screen line wider
// than the window has wrapped, and only its last row is left for the editor to draw again.
std::string promptText;

char* promptOf(EditLine*) {
  return promptText.data();
}

// Characters of UTF-8 text: bytes other than continuation bytes. Every character the
// calculator writes takes one column.
std::size_t columnsOf(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string lastScreenRow(const std::string& line) {
  int width = 0;
  if (el_get(editor, EL_GETTC, "co", &width) != 0 || width <= 0) return line;
  const std::size_t columns = columnsOf(line);
  if (columns <= static_cast<std::size_t>(width)) return line;
  std::size_t skip =
      (columns - 1) / static_cast<std::size_t>(width) * static_cast<std::size_t>(width);
  std::size_t at = 0;
  for (; at < line.size(); ++at) {
    if ((static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) continue;
    if (skip-- == 0) break;
  }
  return line.substr(at);
}

// ---- Signals ----------------------------------------------------------------------------

volatile std::sig_atomic_t interruptPending = 0;
volatile std::sig_atomic_t resizePending = 0;
volatile std::sig_atomic_t redrawPending = 0;

void noteInterrupt(int) {
  interruptPending = 1;
}

void noteResize(int) {
  resizePending = 1;
}

// The signals that end the program: the terminal is restored before the default action.
constexpr int kEndingSignals[] = {SIGHUP, SIGTERM, SIGQUIT};

void restoreAndRaise(int signalNumber) {
  tcsetattr(STDIN_FILENO, TCSANOW, &foundTerminal);
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

void setHandler(int signalNumber, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a signal must end the wait for a key
  sigaction(signalNumber, &action, nullptr);
}

// Ctrl+Z: stopped with the terminal as found, continued with the editor's settings and a
// redrawn line.
void suspend(int) {
  const int savedErrno = errno;
  termios editing{};
  const bool known = tcgetattr(STDIN_FILENO, &editing) == 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &foundTerminal);
  std::signal(SIGTSTP, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  std::raise(SIGTSTP);
  setHandler(SIGTSTP, suspend);
  if (known) tcsetattr(STDIN_FILENO, TCSANOW, &editing);
  redrawPending = 1;
  errno = savedErrno;
}

constexpr int kWaitingSignals[] = {SIGINT, SIGWINCH, SIGTSTP};

// A signal that the program was started to ignore (nohup) stays ignored.
bool isIgnored(int signalNumber) {
  struct sigaction current {};
  return sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void installHandlers() {
  for (int signalNumber : kEndingSignals) {
    if (!isIgnored(signalNumber)) setHandler(signalNumber, restoreAndRaise);
  }
  setHandler(SIGINT, noteInterrupt);
  setHandler(SIGWINCH, noteResize);
  setHandler(SIGTSTP, suspend);
}

void removeHandlers() {
  for (int signalNumber : kEndingSignals) {
    if (!isIgnored(signalNumber)) std::signal(signalNumber, SIG_DFL);
  }
  for (int signalNumber : kWaitingSignals)
    std::signal(signalNumber, SIG_DFL);
}

// ---- Keys -------------------------------------------------------------------------------

// The key that Ctrl+C becomes, whether the terminal sends it or turns it into SIGINT.
constexpr wchar_t kInterruptKey = 0x03;
constexpr unsigned char kEscape = 0x1B;

// A lone Escape or the rest of a sequence that is slower than this is no sequence.
constexpr long kSequenceGapNanoseconds = 100'000'000;

enum class Input { byte, quiet, end, interrupted, redisplay };

// Bound to a redisplay of the line, which the editor does on its own when handed these keys:
// the key filter below never lets two Escapes in a row through from the terminal.
constexpr const char* kRedisplayKeys = "\033\033";

// A resized window: the line is cleared and drawn again in the new width. A continued
// program: the shell has written its own lines, and the line is drawn afresh below them.
// True when the redisplay keys are to be handed to the editor.
bool handlePendingSignals() {
  if (redrawPending) {
    redrawPending = 0;
    resizePending = 0;
    el_resize(editor);
    std::fputc('\r', stdout);
    el_set(editor, EL_REFRESH);
  }
  if (resizePending) {
    resizePending = 0;
    el_resize(editor);
    return true;
  }
  return false;
}

// Waits for one byte of input. The signals that interrupt the wait are blocked except inside
// pselect, so that none arrives between the check of its flag and the wait. Within a
// sequence (`briefly`) the wait ends after the gap, and an interrupt is left for later.
Input waitForByte(unsigned char& byte, bool briefly) {
  sigset_t waiting;
  sigset_t previous;
  sigemptyset(&waiting);
  for (int signalNumber : kWaitingSignals)
    sigaddset(&waiting, signalNumber);
  sigprocmask(SIG_BLOCK, &waiting, &previous);
  Input input = Input::end;
  while (true) {
    if (interruptPending) {
      if (!briefly) interruptPending = 0;
      input = briefly ? Input::quiet : Input::interrupted;
      break;
    }
    if (!briefly && handlePendingSignals()) {
      input = Input::redisplay;
      break;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(STDIN_FILENO, &readable);
    const timespec gap = {0, kSequenceGapNanoseconds};
    const int ready =
        pselect(STDIN_FILENO + 1, &readable, nullptr, nullptr, briefly ? &gap : nullptr, &previous);
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      input = Input::quiet;
      break;
    }
    if (ready < 0 || read(STDIN_FILENO, &byte, 1) != 1) break;
    input = Input::byte;
    break;
  }
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return input;
}

// The escape sequences of the keys the editor knows, with what each does. Only these reach
// the editor; any other sequence is dropped whole, so that no part of it becomes text.
struct KeyBinding {
  const char* keys;
  const char* function;
};

constexpr KeyBinding kSequenceBindings[] = {
    {"\033[A", "ed-prev-history"},       {"\033OA", "ed-prev-history"},
    {"\033[B", "ed-next-history"},       {"\033OB", "ed-next-history"},
    {"\033[C", "ed-next-char"},          {"\033OC", "ed-next-char"},
    {"\033[D", "ed-prev-char"},          {"\033OD", "ed-prev-char"},
    {"\033[H", "ed-move-to-beg"},        {"\033OH", "ed-move-to-beg"},
    {"\033[1~", "ed-move-to-beg"},       {"\033[7~", "ed-move-to-beg"},
    {"\033[F", "ed-move-to-end"},        {"\033OF", "ed-move-to-end"},
    {"\033[4~", "ed-move-to-end"},       {"\033[8~", "ed-move-to-end"},
    {"\033[3~", "ed-delete-next-char"},  {"\033[1;5C", "em-next-word"},
    {"\033[1;5D", "ed-prev-word"},       {"\033f", "em-next-word"},
    {"\033b", "ed-prev-word"},           {"\033d", "em-delete-next-word"},
    {"\033\177", "ed-delete-prev-word"},
};

bool isBoundSequence(const std::string& keys) {
  for (const KeyBinding& binding : kSequenceBindings) {
    if (keys == binding.keys) return true;
  }
  return false;
}

// The bytes of a bound sequence, handed to the editor one by one.
std::string pendingKeys;
std::size_t nextPendingKey = 0;

// sequence -> ESC ( "[" | "O" ) {parameter or intermediate byte} final byte | ESC byte.
// The Linux console's function keys add a "[" ("\033[[A"). An Escape that follows an Escape
// starts the sequence afresh.
bool takeEscapeSequence(std::string& keys) {
  keys.assign(1, static_cast<char>(kEscape));
  unsigned char byte = 0;
  if (waitForByte(byte, true) != Input::byte) return false;
  while (byte == kEscape) {
    if (waitForByte(byte, true) != Input::byte) return false;
  }
  keys += static_cast<char>(byte);
  if (byte != '[' && byte != 'O') return isBoundSequence(keys);
  while (true) {
    if (waitForByte(byte, true) != Input::byte) return false;
    keys += static_cast<char>(byte);
    const bool consoleFunctionKey = keys == "\033[[";
    if (byte >= 0x40 && byte <= 0x7E && !consoleFunctionKey) break;
    if (byte < 0x20 || byte > 0x7E) return false;
  }
  return isBoundSequence(keys);
}

// The editor's way of reading a key (EL_GETCFN): one character of the typed UTF-8 text, a
// byte of a bound sequence, or kInterruptKey for Ctrl+C. 1 with a key, 0 at the end of input.
int readKey(EditLine*, wchar_t* key) {
  if (nextPendingKey < pendingKeys.size()) {
    *key = static_cast<unsigned char>(pendingKeys[nextPendingKey++]);
    return 1;
  }
  std::mbstate_t state{};
  while (true) {
    unsigned char byte = 0;
    const Input input = waitForByte(byte, false);
    if (input == Input::interrupted) {
      *key = kInterruptKey;
      return 1;
    }
    if (input == Input::redisplay) {
      pendingKeys = kRedisplayKeys;
      nextPendingKey = 1;
      *key = kEscape;
      return 1;
    }
    if (input != Input::byte) return 0;
    if (byte == kEscape) {
      state = {};
      std::string keys;
      if (!takeEscapeSequence(keys)) continue;
      pendingKeys = std::move(keys);
      nextPendingKey = 1;
      *key = kEscape;
      return 1;
    }
    const char character = static_cast<char>(byte);
    const std::size_t decoded = std::mbrtowc(key, &character, 1, &state);
    if (decoded == static_cast<std::size_t>(-2)) continue;  // more bytes of this character
    if (decoded == static_cast<std::size_t>(-1)) {
      state = {};  // not UTF-8: dropped
      continue;
    }
    return 1;
  }
}

// ---- Functions bound to keys ------------------------------------------------------------

// Set by Ctrl+C: the line that comes back is dropped.
bool lineDiscarded = false;

std::size_t charactersAfterCursor() {
  const LineInfoW* line = el_wline(editor);
  return static_cast<std::size_t>(line->lastchar - line->cursor);
}

// Ctrl+C: the line is shown to its end with "^C" and left; reading starts again on a new line.
unsigned char discardLine(EditLine* edited, int) {
  lineDiscarded = true;
  el_cursor(edited, static_cast<int>(std::min<std::size_t>(charactersAfterCursor(), INT_MAX)));
  el_insertstr(edited, "^C");
  el_push(edited, "\n");
  return CC_REFRESH;
}

// Ctrl+D: the end of input on an empty line, and nothing echoed; otherwise it deletes the
// character under the cursor.
unsigned char endInputOrDelete(EditLine* edited, int) {
  const LineInfo* line = el_line(edited);
  if (line->buffer == line->lastchar) return CC_EOF;
  if (line->cursor == line->lastchar) return CC_NORM;
  el_cursor(edited, 1);
  el_deletestr(edited, 1);
  return CC_REFRESH;
}

// The line and cursor after a Tab that left several candidates: a second Tab lists them.
std::string ambiguousState;

std::string stateOf(const LineInfo* line) {
  std::string state(line->buffer, static_cast<std::size_t>(line->lastchar - line->buffer));
  state += '\0';
  state += std::to_string(line->cursor - line->buffer);
  return state;
}

void listCandidates(const std::vector<std::string>& candidates) {
  std::size_t widest = 0;
  for (const std::string& candidate : candidates)
    widest = std::max(widest, candidate.size());
  int width = 80;
  el_get(editor, EL_GETTC, "co", &width);
  const std::size_t perRow =
      std::max<std::size_t>(1, static_cast<std::size_t>(width) / (widest + 2));
  std::fputc('\n', stdout);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const bool rowEnds = (i + 1) % perRow == 0 || i + 1 == candidates.size();
    std::fprintf(stdout, "%-*s", rowEnds ? 0 : static_cast<int>(widest + 2), candidates[i].c_str());
    if (rowEnds) std::fputc('\n', stdout);
  }
  std::fflush(stdout);
}

// Tab: completes the word under the cursor from the commands, functions and stored lines.
unsigned char complete(EditLine* edited, int) {
  const LineInfo* line = el_line(edited);
  const std::string_view text(line->buffer,
                              static_cast<std::size_t>(line->lastchar - line->buffer));
  const Completion completion = completeWord(
      text, static_cast<std::size_t>(line->cursor - line->buffer), LineTable, lineCount);
  if (completion.candidates.empty()) return CC_REFRESH_BEEP;
  if (!completion.insertion.empty()) {
    el_insertstr(edited, completion.insertion.c_str());
    ambiguousState = completion.candidates.size() > 1 ? stateOf(el_line(edited)) : std::string();
    return CC_REFRESH;
  }
  if (completion.candidates.size() == 1) return CC_NORM;
  const std::string state = stateOf(line);
  if (state != ambiguousState) {
    ambiguousState = state;
    return CC_REFRESH_BEEP;
  }
  listCandidates(completion.candidates);
  return CC_REDISPLAY;
}

void bindKeys() {
  el_set(editor, EL_EDITOR, "emacs");
  // Added through the wide interface, which keeps these static names: the narrow one copies
  // them and never frees the copies.
  el_wset(editor, EL_ADDFN, L"calculator-complete", L"complete the word", complete);
  el_wset(editor, EL_ADDFN, L"calculator-end-or-delete", L"end of input or delete",
          endInputOrDelete);
  el_wset(editor, EL_ADDFN, L"calculator-discard", L"discard the line", discardLine);
  el_set(editor, EL_BIND, "^I", "calculator-complete", nullptr);
  el_set(editor, EL_BIND, "^D", "calculator-end-or-delete", nullptr);
  el_set(editor, EL_BIND, "^C", "calculator-discard", nullptr);
  el_set(editor, EL_BIND, "^R", "em-inc-search-prev", nullptr);
  // Ctrl+U deletes up to the cursor, as the terminal's own line editing and readline do.
  el_set(editor, EL_BIND, "^U", "vi-kill-line-prev", nullptr);
  // Literal control characters would reach the calculator as text.
  el_set(editor, EL_BIND, "^V", "ed-ignore", nullptr);
  el_set(editor, EL_BIND, "^@", "em-set-mark", nullptr);
  for (const KeyBinding& binding : kSequenceBindings)
    el_set(editor, EL_BIND, binding.keys, binding.function, nullptr);
  el_set(editor, EL_BIND, kRedisplayKeys, "ed-redisplay", nullptr);
}

// ---- Set-up -----------------------------------------------------------------------------

bool charactersAreUtf8() {
  return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
}

// The editor counts columns in the characters of LC_CTYPE; the calculator writes UTF-8
// whatever the environment says, so the editor reads UTF-8 too. Only LC_CTYPE changes: number
// reading and writing follow LC_NUMERIC, which stays "C".
bool useUtf8Characters() {
  if (std::setlocale(LC_CTYPE, "") != nullptr && charactersAreUtf8()) return true;
  if (std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr && charactersAreUtf8()) return true;
  std::setlocale(LC_CTYPE, "C");
  return false;
}

// TERM unset or dumb: no terminal to drive.
bool terminalIsCapable() {
  const char* type = std::getenv("TERM");
  return type != nullptr && *type != '\0' && std::strcmp(type, "dumb") != 0;
}

void endEditor() {
  if (editor != nullptr) el_end(editor);
  if (typedLines != nullptr) history_end(typedLines);
  if (editorErrors != nullptr) std::fclose(editorErrors);
  editor = nullptr;
  typedLines = nullptr;
  editorErrors = nullptr;
  std::setlocale(LC_CTYPE, "C");
}

bool startEditor() {
  editorErrors = std::fopen("/dev/null", "w");
  if (editorErrors == nullptr) return false;
  editor = el_init("calculator", stdin, stdout, editorErrors);
  typedLines = history_init();
  if (editor == nullptr || typedLines == nullptr) return false;
  // An unknown TERM leaves the editor with a dumb terminal's settings, where it cannot move
  // up to redraw a long line; plain reading serves better there.
  char* cursorUp = nullptr;
  if (el_get(editor, EL_GETTC, "up", &cursorUp) != 0 || cursorUp == nullptr || *cursorUp == '\0')
    return false;
  HistEvent event;
  history(typedLines, &event, H_SETSIZE, kHistoryLines);
  history(typedLines, &event, H_SETUNIQUE, 1);
  el_set(editor, EL_HIST, history, typedLines);
  el_set(editor, EL_PROMPT, promptOf);
  el_set(editor, EL_SIGNAL, 0);
  el_set(editor, EL_GETCFN, readKey);
  bindKeys();
  return true;
}

bool hasWord(const std::string& line) {
  return line.find_first_not_of(" \t\n\v\f\r") != std::string::npos;
}

}  // namespace

bool openLineEditor() {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO) || !terminalIsCapable()) return false;
  if (tcgetattr(STDIN_FILENO, &foundTerminal) != 0) return false;
  if (!useUtf8Characters()) return false;
  if (!startEditor()) {
    endEditor();
    return false;
  }
  installHandlers();
  screenLine.clear();
  screenLineWatch.target = std::cout.rdbuf(&screenLineWatch);
  return true;
}

bool readEditedLine(std::string& line) {
  std::cout.flush();
  // The editor draws the screen line again as its prompt, from the start of the row; after
  // Ctrl+C it draws it on a new row.
  promptText = lastScreenRow(screenLine);
  while (true) {
    std::fputc('\r', stdout);
    int count = 0;
    const char* typed = el_gets(editor, &count);
    if (typed == nullptr || count <= 0) return false;
    const std::string prompt = screenLine.substr(std::min(promptStart, screenLine.size()));
    screenLine.clear();  // Enter has moved to a new line
    promptStart = 0;
    if (lineDiscarded) {
      // A fresh prompt on the new line, as it was written for the word that is awaited.
      lineDiscarded = false;
      promptText = prompt;
      continue;
    }
    line.assign(typed, static_cast<std::size_t>(count));
    if (!line.empty() && line.back() == '\n') line.pop_back();
    HistEvent event;
    if (hasWord(line)) history(typedLines, &event, H_ENTER, line.c_str());
    return true;
  }
}

void noteWordTaken() {
  promptStart = screenLine.size();
}

void closeLineEditor() {
  std::cout.flush();
  std::cout.rdbuf(screenLineWatch.target);
  endEditor();
  tcsetattr(STDIN_FILENO, TCSADRAIN, &foundTerminal);
  removeHandlers();
  pendingKeys.clear();
  nextPendingKey = 0;
  interruptPending = 0;
}
