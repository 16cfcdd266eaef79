// The source of the command loop's words: standard input, or lines typed through the editor.
#include "terminal/word_source.hpp"

#include <iostream>

#include "terminal/line_editor.hpp"
#include "text/characters.hpp"

namespace {

bool editing = false;

// The line last typed through the editor and where its next word starts.
std::string typedLine;
std::size_t typedPosition = 0;

// A line without words (Enter alone) asks for the next line, as standard input's reading does.
bool readTypedWord(std::string& word) {
  while (!takeWord(typedLine, typedPosition, word)) {
    if (!readEditedLine(typedLine)) return false;
    typedPosition = 0;
  }
  noteWordTaken();
  return true;
}

}  // namespace

void readFromTerminalWhenInteractive(int historySize, WordsToComplete words) {
  editing = openLineEditor(historySize, words);
}

bool readWord(std::string& word) {
  if (!editing) return static_cast<bool>(std::cin >> word);
  return readTypedWord(word);
}

void stopReadingWords() {
  if (editing) closeLineEditor();
  editing = false;
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
