// The source of the command loop's words: standard input, or lines typed at a terminal.
#include "terminal/word_source.hpp"

#include <algorithm>
#include <iostream>

#include "terminal/line_editor.hpp"
#include "terminal/plain_lines.hpp"
#include "terminal/screen_line.hpp"
#include "text/characters.hpp"

namespace {

enum class Source {
  stream,      // formatted extraction from standard input: a pipe or a file
  editor,      // lines typed through the line editor
  plainLines,  // lines typed at a terminal that the editor cannot drive
};

Source source = Source::stream;

// The line whose words are being taken, and where its next word starts.
std::string lineInUse;
std::size_t nextWordAt = 0;

// The next line typed at the terminal. The editor draws the prompt again itself after a line
// without a word; plain lines have the command loop write it again.
LineRead nextTypedLine(std::string& line) {
  if (source == Source::editor) return readEditedLine(line) ? LineRead::line : LineRead::end;
  return readPlainLine(line);
}

WordRead wordOrTooLong(const std::string& word) {
  return word.size() > kMaxWordBytes ? WordRead::tooLong : WordRead::word;
}

// The next word of the line in use, or of the next line once it has none left.
WordRead nextTypedWord(std::string& word) {
  while (!takeWord(lineInUse, nextWordAt, word)) {
    nextWordAt = 0;
    const LineRead read = nextTypedLine(lineInUse);
    if (read != LineRead::line) {
      lineInUse.clear();
      return read == LineRead::again ? WordRead::again : WordRead::end;
    }
  }
  noteWordTaken();
  return wordOrTooLong(word);
}

// The bytes of a word read from standard input: as many as a word may hold, and one more that
// shows it too long.
char wordBytes[kMaxWordBytes + 1];

// Formatted extraction of a word from standard input: white space skipped, then the bytes up to
// the next white space, which is left unread. Bytes past the word's limit are read and dropped.
WordRead extractWord(std::string& word) {
  using Traits = std::char_traits<char>;
  std::streambuf& input = *std::cin.rdbuf();
  Traits::int_type c = input.sgetc();
  while (!Traits::eq_int_type(c, Traits::eof()) && isWhiteSpace(Traits::to_char_type(c)))
    c = input.snextc();
  if (Traits::eq_int_type(c, Traits::eof())) {
    std::cin.setstate(std::ios::eofbit | std::ios::failbit);
    return WordRead::end;
  }
  std::size_t length = 0;
  while (!Traits::eq_int_type(c, Traits::eof()) && !isWhiteSpace(Traits::to_char_type(c))) {
    if (length < sizeof wordBytes) wordBytes[length++] = Traits::to_char_type(c);
    c = input.snextc();
  }
  word.assign(wordBytes, length);
  if (Traits::eq_int_type(c, Traits::eof())) std::cin.setstate(std::ios::eofbit);
  return wordOrTooLong(word);
}

}  // namespace

void readFromTerminalWhenInteractive(const EditorLimits& limits, WordsToComplete words) {
  if (openLineEditor(limits, words)) {
    source = Source::editor;
  } else if (holdPlainLines()) {
    source = Source::plainLines;
  } else {
    source = Source::stream;
  }
}

WordRead readWord(std::string& word) {
  if (source == Source::stream) return extractWord(word);
  return nextTypedWord(word);
}

void stopReadingWords() {
  if (source == Source::editor) closeLineEditor();
  if (source == Source::plainLines) releasePlainLines();
  source = Source::stream;
  lineInUse.clear();
  nextWordAt = 0;
}

bool takeWord(std::string_view line, std::size_t& position, std::string& word) {
  while (position < line.size() && isWhiteSpace(line[position]))
    ++position;
  if (position == line.size()) return false;
  const std::size_t start = position;
  while (position < line.size() && !isWhiteSpace(line[position]))
    ++position;
  word.assign(line.substr(start, std::min(position - start, kMaxWordBytes + 1)));
  return true;
}

void appendTypedText(std::string& line, std::string_view piece) {
  std::size_t wordLength = 0;  // of the word that the line ends in
  while (wordLength < line.size() && !isWhiteSpace(line[line.size() - 1 - wordLength]))
    ++wordLength;
  for (const char c : piece) {
    wordLength = isWhiteSpace(c) ? 0 : wordLength + 1;
    if (wordLength <= kMaxWordBytes + 1) line += c;
  }
}

bool holdsWord(std::string_view line) {
  return std::any_of(line.begin(), line.end(), [](char c) { return !isWhiteSpace(c); });
}
