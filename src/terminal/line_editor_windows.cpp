// The line editor at a Windows console: its own line input, completed at Tab, output as UTF-16.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.hpp"
#include "terminal/completion.hpp"
#include "terminal/line_editor.hpp"
#include "terminal/screen_line.hpp"
#include "terminal/word_source.hpp"
#include "text/utf8.hpp"
#include "text/windows1251.hpp"

namespace {

HANDLE consoleInput = INVALID_HANDLE_VALUE;
HANDLE consoleOutput = INVALID_HANDLE_VALUE;

// Characters one read of the console's line input takes, its line end included.
std::size_t lineCharacters = 0;

// ---- Text -------------------------------------------------------------------------------

// Stores the UTF-16 of a Windows-1251 character at `wide` and gives its length: a line feed
// becomes CR LF, which every console mode takes as a new line.
std::size_t widen(char c, wchar_t* wide) {
  const auto code = static_cast<wchar_t>(unicodeOfWindows1251(static_cast<unsigned char>(c)));
  if (c != '\n') {
    wide[0] = code;
    return 1;
  }
  wide[0] = L'\r';
  wide[1] = code;
  return 2;
}

std::wstring widened(std::string_view text) {
  std::wstring wide;
  wchar_t character[2];
  for (const char c : text)
    wide.append(character, widen(c, character));
  return wide;
}

// Typed UTF-16 text as Windows-1251, one byte per character, so that positions and the character
// of a report are the ones typed. A character beyond the code page becomes the placeholder: a
// byte that no expression takes and that is shown again as the replacement character.
std::string narrowed(std::wstring_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (std::size_t k = 0; k < text.size(); ++k) {
    const bool pair =
        IS_HIGH_SURROGATE(text[k]) && k + 1 < text.size() && IS_LOW_SURROGATE(text[k + 1]);
    if (pair) ++k;
    narrow += static_cast<char>(pair ? kWindows1251Placeholder : windows1251Of(text[k]));
  }
  return narrow;
}

void writeToConsole(std::wstring_view text) {
  // Older consoles refuse a single write of more than some 64 KB.
  constexpr std::size_t kChunk = 8192;
  while (!text.empty()) {
    DWORD written = 0;
    const auto count = static_cast<DWORD>(std::min(text.size(), kChunk));
    if (!WriteConsoleW(consoleOutput, text.data(), count, &written, nullptr) || written == 0)
      return;
    text.remove_prefix(written);
  }
}

// ---- Standard output --------------------------------------------------------------------

// Standard output at a console: the Windows-1251 text written to std::cout reaches the console
// as UTF-16, which it shows whatever its code page. Unbuffered: each write goes out at once.
class ConsoleBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    writeText({&byte, 1});
    return c;
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    writeText({text, static_cast<std::size_t>(count)});
    return count;
  }

 private:
  // Converted piece by piece in a buffer of the stack, however long the text.
  static void writeText(std::string_view text) {
    noteWritten(text);
    wchar_t wide[512];
    std::size_t length = 0;
    for (const char c : text) {
      if (length + 2 > std::size(wide)) {
        writeToConsole({wide, length});
        length = 0;
      }
      length += widen(c, wide + length);
    }
    writeToConsole({wide, length});
  }
};

ConsoleBuffer consoleBuffer;
std::streambuf* runtimeBuffer = nullptr;

// At exit standard output gets the runtime's buffer back before this one is destroyed: the
// runtime flushes std::cout after the destructors of this file's objects have run.
void giveOutputBack() {
  std::cout.rdbuf(runtimeBuffer);
}

void sendOutputToConsole() {
  if (runtimeBuffer != nullptr || !standardOutputIsTerminal()) return;
  consoleOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  std::cout.flush();
  runtimeBuffer = std::cout.rdbuf(&consoleBuffer);
  std::atexit(giveOutputBack);
}

// ---- Ctrl+C -----------------------------------------------------------------------------

// The character that Ctrl+C puts into the console's input to wake the read up: a control
// character that no key of the calculator's lines gives (Ctrl+^ on some keyboards, which then
// drops the line too).
constexpr wchar_t kInterruptMark = L'\x1e';

// The console's Ctrl+C handler, which runs on a thread of its own. A Windows console ends the
// read under way at Ctrl+C, wine's goes on with it; either way the mark then wakes the next read
// or the one under way, which drops its line.
BOOL WINAPI onControlEvent(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;  // Ctrl+Break and closing the window end the program
  INPUT_RECORD keys[2] = {};
  for (INPUT_RECORD& key : keys) {
    key.EventType = KEY_EVENT;
    key.Event.KeyEvent.wRepeatCount = 1;
    key.Event.KeyEvent.uChar.UnicodeChar = kInterruptMark;
  }
  keys[0].Event.KeyEvent.bKeyDown = TRUE;
  DWORD written = 0;
  WriteConsoleInputW(consoleInput, keys, 2, &written);
  return TRUE;
}

// ---- Completion -------------------------------------------------------------------------

WordsToComplete wordsToComplete = nullptr;

// Moves the cursor back to the start of the typed text, `typedBefore` characters before it,
// across wrapped rows; the text starts right after the screen line.
void moveToLineStart(std::size_t typedBefore) {
  CONSOLE_SCREEN_BUFFER_INFO screen{};
  if (!GetConsoleScreenBufferInfo(consoleOutput, &screen) || screen.dwSize.X <= 0) {
    writeToConsole(L"\r" + widened(screenLine()));
    return;
  }
  const auto width = static_cast<std::size_t>(screen.dwSize.X);
  const std::size_t at = static_cast<std::size_t>(screen.dwCursorPosition.Y) * width +
                         static_cast<std::size_t>(screen.dwCursorPosition.X);
  const std::size_t to = at - std::min(at, typedBefore);
  SetConsoleCursorPosition(consoleOutput,
                           {static_cast<SHORT>(to % width), static_cast<SHORT>(to / width)});
}

// Draws the typed text again from its start, where the cursor stood `cursor` characters
// before, and leaves the cursor at its end: the console goes on reading after the text it is
// given.
void redrawLine(const std::wstring& text, std::size_t cursor) {
  moveToLineStart(cursor);
  writeToConsole(text);
}

// The candidates in columns on the lines below the typed one. The console's last column is left
// unused: writing in it wraps.
void listCandidates(const std::vector<std::string>& candidates) {
  CONSOLE_SCREEN_BUFFER_INFO screen{};
  std::size_t width = 80;
  if (GetConsoleScreenBufferInfo(consoleOutput, &screen) && screen.dwSize.X > 0)
    width = static_cast<std::size_t>(screen.dwSize.X);
  writeToConsole(widened(candidateList(candidates, width - 1)));
}

void ringBell() {
  writeToConsole(L"\a");
}

// Puts Left keys into the console's input: the read that goes on with the line from its end
// takes them first and moves its cursor back to where the Tab was.
void pressLeft(std::size_t times) {
  std::vector<INPUT_RECORD> keys(2 * times);
  for (std::size_t k = 0; k < keys.size(); ++k) {
    keys[k].EventType = KEY_EVENT;
    keys[k].Event.KeyEvent.bKeyDown = k % 2 == 0;
    keys[k].Event.KeyEvent.wRepeatCount = 1;
    keys[k].Event.KeyEvent.wVirtualKeyCode = VK_LEFT;
    keys[k].Event.KeyEvent.wVirtualScanCode =
        static_cast<WORD>(MapVirtualKeyW(VK_LEFT, MAPVK_VK_TO_VSC));
    keys[k].Event.KeyEvent.dwControlKeyState = ENHANCED_KEY;
  }
  DWORD written = 0;
  if (!keys.empty())
    WriteConsoleInputW(consoleInput, keys.data(), static_cast<DWORD>(keys.size()), &written);
}

// The place of a Tab in the typed text: the text in UTF-8, each UTF-16 unit a character.
std::string tabPlaceOf(const std::wstring& text, std::size_t cursor) {
  std::string utf8;
  for (const wchar_t unit : text) {
    const Utf8Bytes character = utf8BytesOf(unit);
    utf8.append(character.bytes, character.length);
  }
  return tabPlace(utf8, cursor);
}

// Completes the text at `cursor` and moves `cursor` past what was inserted. A second Tab on the
// same ambiguous text gives the candidates, to be listed.
std::vector<std::string> completeText(std::wstring& text, std::size_t& cursor) {
  const std::size_t typed = narrowed(std::wstring_view(text).substr(0, cursor)).size();
  Completion completion = completeWord(narrowed(text), typed, wordsToComplete());
  const std::wstring insertion = widened(completion.insertion);
  const bool fits = text.size() + insertion.size() + 2 <= lineCharacters;
  switch (fits ? tabStep(completion, tabPlaceOf(text, cursor)) : TabStep::ring) {
    case TabStep::insert:
      text.insert(cursor, insertion);
      cursor += insertion.size();
      tabInserted(completion, tabPlaceOf(text, cursor));
      break;
    case TabStep::ring: ringBell(); break;
    case TabStep::list: return std::move(completion.candidates);
    case TabStep::none: break;
  }
  return {};
}

// Tab at `tab` in the text read: the text without the Tab, completed where it was typed, is
// drawn again from its start, or after a list of candidates and the prompt. The console goes on
// reading after the text it is given; Left keys move its cursor back to the Tab's place. They
// are put in before the line is drawn, so that keys typed once it shows come after them.
void completeAtTab(std::wstring& text, std::size_t tab) {
  text.erase(tab, 1);
  std::size_t cursor = tab;
  const std::vector<std::string> candidates = completeText(text, cursor);
  pressLeft(text.size() - cursor);
  redrawLine(text, tab);
  if (!candidates.empty()) {
    listCandidates(candidates);
    writeToConsole(widened(screenLine()) + text);
  }
}

// ---- Reading ----------------------------------------------------------------------------

DWORD foundInputMode = 0;

// Ctrl+Z in a typed line ends the input there, as the runtime's text-mode reading ends it.
constexpr wchar_t kEndOfInput = L'\x1a';
bool inputEnded = false;

enum class ConsoleRead { line, tab, part, interrupted, aborted, end };

// One read of the console's line input into `text`, which holds the characters that the line
// starts with, already drawn. A Tab or Ctrl+C's mark wakes the read up, and is in the text read.
ConsoleRead readConsoleOnce(std::wstring& text) {
  std::vector<wchar_t> buffer(lineCharacters);
  std::copy(text.begin(), text.end(), buffer.begin());
  CONSOLE_READCONSOLE_CONTROL control{sizeof control, static_cast<ULONG>(text.size()),
                                      (1u << L'\t') | (1u << kInterruptMark), 0};
  DWORD count = 0;
  SetLastError(ERROR_SUCCESS);
  const BOOL read = ReadConsoleW(consoleInput, buffer.data(), static_cast<DWORD>(buffer.size()),
                                 &count, &control);
  if ((!read || count == 0) && GetLastError() == ERROR_OPERATION_ABORTED)
    return ConsoleRead::aborted;
  if (!read || count == 0) return ConsoleRead::end;
  text.assign(buffer.data(), count);
  if (text.find(kInterruptMark) != std::wstring::npos) return ConsoleRead::interrupted;
  if (text.find(L'\t') != std::wstring::npos) return ConsoleRead::tab;
  if (text.back() != L'\n') return ConsoleRead::part;  // a line longer than the buffer
  text.pop_back();
  if (!text.empty() && text.back() == L'\r') text.pop_back();
  return ConsoleRead::line;
}

// Ctrl+C's mark at `mark` in the text read: the line is shown to its end, marked "^C" and left
// as it stands; the prompt of the awaited word is drawn again on a new line.
void dropLineAt(std::wstring& text, std::size_t mark) {
  text.erase(mark, 1);
  redrawLine(text, mark);
  writeToConsole(L"^C\r\n" + widened(promptAgain()));
  text.clear();
  forgetTabPlace();
}

// The typed line from the console, as Windows-1251 text: the characters read up to the line end,
// Ctrl+Z or the end, no word kept longer than takeWord takes it.
// Set when a read ended at Ctrl+C before the handler's mark came.
bool markOnItsWay = false;

bool readWholeLine(std::string& typed) {
  std::wstring text;
  forgetTabPlace();
  while (true) {
    switch (readConsoleOnce(text)) {
      case ConsoleRead::line: appendTypedText(typed, narrowed(text)); return true;
      case ConsoleRead::tab: completeAtTab(text, text.find(L'\t')); continue;
      case ConsoleRead::part:
        appendTypedText(typed, narrowed(text));
        text.clear();
        continue;
      case ConsoleRead::interrupted:
        if (markOnItsWay) {
          // The line went at the aborted read: what was typed since is kept.
          markOnItsWay = false;
          text.erase(text.find(kInterruptMark), 1);
          continue;
        }
        dropLineAt(text, text.find(kInterruptMark));
        typed.clear();
        continue;
      case ConsoleRead::aborted:
        // A Windows console ends the read at Ctrl+C: the line is dropped here, and the mark that
        // the handler puts into the input after it must not take the keys typed meanwhile with
        // it. The pause keeps a console that aborts every read from being asked again at once.
        if (!markOnItsWay) {
          writeToConsole(L"^C\r\n" + widened(promptAgain()));
          markOnItsWay = true;
        }
        Sleep(10);
        text.clear();
        typed.clear();
        continue;
      case ConsoleRead::end: inputEnded = true; return !typed.empty();
    }
  }
}

// The console's line input leaves the editing keys that it does not handle itself (Ctrl+W,
// Ctrl+U, Ctrl+A and the like) in the line as control characters: they are no text.
void dropControlCharacters(std::string& line) {
  std::erase_if(line, [](char c) { return isByteIn(c, 0x00, 0x1F) || c == '\x7f'; });
}

}  // namespace

bool openLineEditor(const EditorLimits& limits, WordsToComplete words) {
  // Output through the console whatever standard input is.
  sendOutputToConsole();
  consoleInput = GetStdHandle(STD_INPUT_HANDLE);
  if (!standardOutputIsTerminal() || !GetConsoleMode(consoleInput, &foundInputMode)) return false;
  // The console's own editing keys and history need its line input with echo; Ctrl+C comes to
  // the handler only with processed input.
  SetConsoleMode(consoleInput,
                 foundInputMode | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
  SetConsoleCtrlHandler(onControlEvent, TRUE);
  wordsToComplete = words;
  lineCharacters = limits.consoleLineCharacters;
  return true;
}

bool readEditedLine(std::string& line) {
  std::cout.flush();
  while (true) {
    line.clear();
    const bool read = !inputEnded && readWholeLine(line);
    const std::size_t end = line.find(static_cast<char>(kEndOfInput));
    if (end != std::string::npos) {
      inputEnded = true;
      line.erase(end);
    }
    dropControlCharacters(line);
    if (holdsWord(line)) {
      noteLineEntered();  // the console's echo of the line end has started a new line
      return true;
    }
    if (!read || inputEnded) return false;
    // A line without a word has the prompt of the awaited word drawn again on the new row.
    writeToConsole(widened(promptAgain()));
  }
}

void closeLineEditor() {
  std::cout.flush();
  SetConsoleCtrlHandler(onControlEvent, FALSE);
  SetConsoleMode(consoleInput, foundInputMode);
}
