// The source of the command loop's words: standard input, or lines typed at a terminal.
#include "terminal/word_source.hpp"

#include <iostream>

#include "platform/platform.hpp"
#include "terminal/line_editor.hpp"
#include "text/characters.hpp"

namespace {

enum class Source {
  stream,      // formatted extraction from standard input: a pipe or a file
  editor,      // lines typed through the line editor
  typedLines,  // lines typed at a terminal that the editor cannot drive
};

Source source = Source::stream;

// The line last typed and where its next word starts.
std::string typedLine;
std::size_t typedPosition = 0;

// The editor draws the prompt again itself after an empty line or Ctrl+C.
WordRead readEditedLineInto(std::string& line) {
  return readEditedLine(line) ? WordRead::word : WordRead::end;
}

// A line without words (Enter alone) and Ctrl+C have the prompt written again, as a shell
// does; Ctrl+C leaves the row where the terminal echoed "^C", so it is ended first.
WordRead readTypedLineInto(std::string& line) {
  std::cout.flush();
  switch (readTypedLine(line)) {
    case TypedLine::line: break;
    case TypedLine::interrupted: std::cout << '\n'; return WordRead::again;
    case TypedLine::end: return WordRead::end;
  }
  std::size_t position = 0;
  std::string word;
  return takeWord(line, position, word) ? WordRead::word : WordRead::again;
}

// The next word of the typed line, or of the next line once it has none left.
WordRead readTypedWord(std::string& word) {
  while (!takeWord(typedLine, typedPosition, word)) {
    typedPosition = 0;
    const WordRead read =
        source == Source::editor ? readEditedLineInto(typedLine) : readTypedLineInto(typedLine);
    if (read != WordRead::word) {
      typedLine.clear();
      return read;
    }
  }
  if (source == Source::editor) noteWordTaken();
  return WordRead::word;
}

}  // namespace

void readFromTerminalWhenInteractive(const EditorLimits& limits, WordsToComplete words) {
  if (openLineEditor(limits, words)) {
    source = Source::editor;
  } else if (holdTypedLines()) {
    source = Source::typedLines;
  } else {
    source = Source::stream;
  }
}

WordRead readWord(std::string& word) {
  if (source == Source::stream) return std::cin >> word ? WordRead::word : WordRead::end;
  return readTypedWord(word);
}

void stopReadingWords() {
  if (source == Source::editor) closeLineEditor();
  if (source == Source::typedLines) releaseTypedLines();
  source = Source::stream;
  typedLine.clear();
  typedPosition = 0;
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
