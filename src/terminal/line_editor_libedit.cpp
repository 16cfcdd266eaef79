// The line editor on POSIX terminals, built on libedit's own interface (histedit.h).
#include "terminal/line_editor.hpp"

#include <histedit.h>
#include <langinfo.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <iostream>
#include <streambuf>
#include <string_view>

#include "platform/platform.hpp"
#include "terminal/completion.hpp"
#include "terminal/key_input.hpp"
#include "terminal/screen_line.hpp"
#include "terminal/word_source.hpp"
#include "text/utf8.hpp"

namespace {

EditLine* editor = nullptr;
History* pastLines = nullptr;
FILE* editorErrors = nullptr;  // the editor's own complaints go nowhere: the dialogue is stdout

// What Tab completes from, asked at every Tab.
WordsToComplete wordsToComplete = nullptr;

// ---- The screen line --------------------------------------------------------------------

// Passes what is written to standard output on, noting it on the screen line, which the editor
// draws again as its prompt, so that its redisplay (Ctrl+L, a long line, a resized window) shows
// the line as the dialogue left it. It is a stream buffer because that is how standard output
// can be watched without changing its users.
class ScreenLineWatch : public std::streambuf {
 public:
  std::streambuf* target = nullptr;

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof()))
      return target->pubsync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
    const char written = traits_type::to_char_type(c);
    noteWritten({&written, 1});
    return target->sputc(written);
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    noteWritten({text, static_cast<std::size_t>(count)});
    return target->sputn(text, count);
  }

  int sync() override { return target->pubsync(); }
};

ScreenLineWatch screenLineWatch;

// The prompt of the line being read: the last screen row of the screen line. A screen line wider
// than the window has wrapped, and only its last row is left for the editor to draw again.
std::string promptText;

char* promptOf(EditLine*) {
  return promptText.data();
}

std::string lastScreenRow(const std::string& line) {
  int width = 0;
  if (el_get(editor, EL_GETTC, "co", &width) != 0 || width <= 0) return line;
  const std::size_t columns = utf8Columns(line);
  if (columns <= static_cast<std::size_t>(width)) return line;
  const std::size_t rowStart =
      (columns - 1) / static_cast<std::size_t>(width) * static_cast<std::size_t>(width);
  return line.substr(utf8ByteOfColumn(line, rowStart));
}

// ---- Keys -------------------------------------------------------------------------------

// The key that Ctrl+C becomes, whether the terminal sends it or turns it into SIGINT.
constexpr wchar_t kInterruptKey = 0x03;

// The terminal capability `name` (a termcap name), or an empty text when it has none.
const char* capability(const char* name) {
  char* text = nullptr;
  if (el_get(editor, EL_GETTC, name, &text) != 0 || text == nullptr) return "";
  return text;
}

// After a resize the editor takes the cursor's row for the line's first. Most terminals (tmux,
// VTE, konsole, kitty) wrap a long line again in the new width, keeping the cursor on its
// character, so the line starts as many rows up as the prompt and the text before the cursor
// take in the new width; from there the screen is cleared to its end, and no row of the line
// drawn in the old width is left. A terminal that keeps its rows as they were (xterm) had the
// line start elsewhere: narrowed, it loses rows above the line, widened, it keeps stale ones.
void clearFromTheLinesFirstRow() {
  int width = 0;
  if (el_get(editor, EL_GETTC, "co", &width) != 0 || width <= 0) return;
  const LineInfoW* line = el_wline(editor);
  const std::size_t columns =
      utf8Columns(promptText) + static_cast<std::size_t>(line->cursor - line->buffer);
  std::fputc('\r', stdout);
  for (std::size_t row = columns / static_cast<std::size_t>(width); row > 0; --row)
    std::fputs(capability("up"), stdout);
  std::fputs(capability("cd"), stdout);
}

// The editor's way of reading a key (EL_GETCFN): 1 with a key, 0 at the end of input. A
// resized window has the line cleared and drawn again in the new width; a continued program
// has it drawn afresh below what the shell wrote meanwhile.
int keyForEditor(EditLine*, wchar_t* key) {
  while (true) {
    switch (nextKey(*key)) {
      case KeyInput::key: return 1;
      case KeyInput::interrupted: *key = kInterruptKey; return 1;
      case KeyInput::resized:
        el_resize(editor);
        clearFromTheLinesFirstRow();
        el_set(editor, EL_REFRESH);
        continue;
      case KeyInput::continued:
        el_resize(editor);
        std::fputc('\r', stdout);
        el_set(editor, EL_REFRESH);
        continue;
      case KeyInput::end: return 0;
    }
  }
}

// ---- Functions bound to keys ------------------------------------------------------------

// Set by Ctrl+C: the line that comes back is dropped.
bool lineDropped = false;

std::size_t charactersAfterCursor() {
  const LineInfoW* line = el_wline(editor);
  return static_cast<std::size_t>(line->lastchar - line->cursor);
}

// Ctrl+C: the line is shown to its end with "^C" and left; reading starts again on a new line.
unsigned char dropLine(EditLine* edited, int) {
  lineDropped = true;
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

// Ctrl+W: deletes back to the previous blank, over the blanks before the cursor first, as a
// shell does. The editor's own word ends at "+", "/" and "^" but not at "*", "-" or "=", which
// cuts an expression into odd pieces.
unsigned char deleteBackToBlank(EditLine* edited, int) {
  const LineInfoW* line = el_wline(edited);
  const wchar_t* start = line->cursor;
  while (start > line->buffer && std::iswspace(static_cast<wint_t>(start[-1])))
    --start;
  while (start > line->buffer && !std::iswspace(static_cast<wint_t>(start[-1])))
    --start;
  if (start == line->cursor) return CC_ERROR;
  el_wdeletestr(edited, static_cast<int>(line->cursor - start));
  return CC_REFRESH;
}

std::string_view textOf(const LineInfo* line) {
  return {line->buffer, static_cast<std::size_t>(line->lastchar - line->buffer)};
}

std::size_t cursorOf(const LineInfo* line) {
  return static_cast<std::size_t>(line->cursor - line->buffer);
}

// Tab: completes the word under the cursor from the commands, functions and stored lines.
unsigned char complete(EditLine* edited, int) {
  const LineInfo* line = el_line(edited);
  const Completion completion = completeWord(textOf(line), cursorOf(line), wordsToComplete());
  switch (tabStep(completion, tabPlace(textOf(line), cursorOf(line)))) {
    case TabStep::insert:
      el_insertstr(edited, completion.insertion.c_str());
      line = el_line(edited);
      tabInserted(completion, tabPlace(textOf(line), cursorOf(line)));
      return CC_REFRESH;
    case TabStep::ring: return CC_REFRESH_BEEP;
    case TabStep::none: return CC_NORM;
    case TabStep::list: break;
  }
  int width = 80;
  el_get(editor, EL_GETTC, "co", &width);
  std::fputs(candidateList(completion.candidates, static_cast<std::size_t>(width)).c_str(), stdout);
  std::fflush(stdout);
  return CC_REDISPLAY;
}

void bindKeys() {
  el_set(editor, EL_EDITOR, "emacs");
  // Added through the wide interface, which keeps these static names: the narrow one copies
  // them and never frees the copies.
  el_wset(editor, EL_ADDFN, L"calculator-complete", L"complete the word", complete);
  el_wset(editor, EL_ADDFN, L"calculator-end-or-delete", L"end of input or delete",
          endInputOrDelete);
  el_wset(editor, EL_ADDFN, L"calculator-drop-line", L"drop the line", dropLine);
  el_wset(editor, EL_ADDFN, L"calculator-delete-to-blank", L"delete back to a blank",
          deleteBackToBlank);
  el_set(editor, EL_BIND, "^I", "calculator-complete", nullptr);
  el_set(editor, EL_BIND, "^D", "calculator-end-or-delete", nullptr);
  el_set(editor, EL_BIND, "^C", "calculator-drop-line", nullptr);
  el_set(editor, EL_BIND, "^R", "em-inc-search-prev", nullptr);
  // Ctrl+U deletes up to the cursor, as the terminal's own line editing and readline do.
  el_set(editor, EL_BIND, "^U", "vi-kill-line-prev", nullptr);
  el_set(editor, EL_BIND, "^W", "calculator-delete-to-blank", nullptr);
  // Literal control characters would reach the calculator as text.
  el_set(editor, EL_BIND, "^V", "ed-ignore", nullptr);
  el_set(editor, EL_BIND, "^@", "em-set-mark", nullptr);
  for (std::size_t k = 0; k < kSequenceBindingCount; ++k)
    el_set(editor, EL_BIND, kSequenceBindings[k].keys, kSequenceBindings[k].function, nullptr);
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
  if (pastLines != nullptr) history_end(pastLines);
  if (editorErrors != nullptr) std::fclose(editorErrors);
  editor = nullptr;
  pastLines = nullptr;
  editorErrors = nullptr;
  std::setlocale(LC_CTYPE, "C");
}

bool startEditor(int historySize) {
  editorErrors = std::fopen("/dev/null", "w");
  if (editorErrors == nullptr) return false;
  editor = el_init("calculator", stdin, stdout, editorErrors);
  pastLines = history_init();
  if (editor == nullptr || pastLines == nullptr) return false;
  // An unknown TERM leaves the editor with a dumb terminal's settings, where it cannot move
  // up to redraw a long line; plain reading serves better there.
  char* cursorUp = nullptr;
  if (el_get(editor, EL_GETTC, "up", &cursorUp) != 0 || cursorUp == nullptr || *cursorUp == '\0')
    return false;
  HistEvent event;
  history(pastLines, &event, H_SETSIZE, historySize);
  history(pastLines, &event, H_SETUNIQUE, 1);
  el_set(editor, EL_HIST, history, pastLines);
  el_set(editor, EL_PROMPT, promptOf);
  el_set(editor, EL_SIGNAL, 0);
  el_set(editor, EL_GETCFN, keyForEditor);
  bindKeys();
  return true;
}

}  // namespace

bool openLineEditor(const EditorLimits& limits, WordsToComplete words) {
  // The terminal's settings are taken before the editor starts: el_init sets the terminal to
  // its own idea of the ordinary settings at once (echoctl on, noflsh off).
  if (!standardOutputIsTerminal() || !terminalIsCapable() || !holdTerminal()) return false;
  if (!useUtf8Characters() || !startEditor(limits.historyLines)) {
    endEditor();
    releaseTerminal();
    return false;
  }
  wordsToComplete = words;
  catchWaitingSignals();
  screenLineWatch.target = std::cout.rdbuf(&screenLineWatch);
  return true;
}

bool readEditedLine(std::string& line) {
  std::cout.flush();
  while (true) {
    promptText = lastScreenRow(screenLine());
    std::fputc('\r', stdout);  // the editor draws its prompt from the start of the row
    int count = 0;
    const char* typed = el_gets(editor, &count);
    if (typed == nullptr || count <= 0) return false;
    forgetTabPlace();
    line.assign(typed, static_cast<std::size_t>(count));
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (lineDropped || !holdsWord(line)) {
      lineDropped = false;
      promptAgain();
      continue;
    }
    noteLineEntered();
    HistEvent event;
    history(pastLines, &event, H_ENTER, line.c_str());
    return true;
  }
}

void closeLineEditor() {
  std::cout.flush();
  std::cout.rdbuf(screenLineWatch.target);
  takeKeysTypedAhead();  // el_end discards what is unread
  endEditor();
  releaseTerminal();
  forgetPendingInput();
}
