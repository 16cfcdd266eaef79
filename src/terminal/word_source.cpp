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
  return WordRead::word;
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
  if (source == Source::stream) return std::cin >> word ? WordRead::word : WordRead::end;
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
  word.assign(line.substr(start, position - start));
  return true;
}

bool holdsWord(std::string_view line) {
  return std::any_of(line.begin(), line.end(), [](char c) { return !isWhiteSpace(c); });
}
