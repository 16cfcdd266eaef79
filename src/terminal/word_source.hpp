// The source of the command loop's words: standard input, or lines typed at a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "terminal/completion.hpp"
#include "terminal/line_editor.hpp"
#include "workspace/capacities.hpp"

// From now on, when standard input and standard output are both a terminal, words come from the
// lines typed there: through the line editor where it can drive the terminal, otherwise as the
// terminal's own line editing delivers them. Otherwise, as before the call, they are read from
// standard input. The editor keeps to `limits` and completes from `words`.
void readFromTerminalWhenInteractive(const EditorLimits& limits, WordsToComplete words);

// What reading a word gave.
enum class WordRead {
  word,
  tooLong,  // a word of more than kMaxWordBytes bytes: refused, its further bytes dropped
  again,    // a line typed at a terminal held none (Enter alone, Ctrl+C): ask for the word again
  end,      // the end of input
};

// Reads the next word into `word`, as formatted extraction of a string from standard input
// does, but keeping no more of a word than one byte past kMaxWordBytes.
WordRead readWord(std::string& word);

// Ends the reading of words: a terminal in use is handed back as it was found.
void stopReadingWords();

// Whether `line` holds a word: a character other than white space.
bool holdsWord(std::string_view line);

// Takes the next word of a typed line, starting at `position`, into `word` and moves
// `position` past it; false when only white space is left. White space is what it is to
// formatted extraction in the C locale: blank, tab, line feed, vertical tab, form feed, return.
// Of a word longer than kMaxWordBytes, `word` holds the first kMaxWordBytes + 1 bytes.
bool takeWord(std::string_view line, std::size_t& position, std::string& word);

// Appends a piece of a line typed at a terminal to `line`, keeping no more of a word than
// takeWord takes of it, so that a line's memory does not grow with a word's length.
void appendTypedText(std::string& line, std::string_view piece);
