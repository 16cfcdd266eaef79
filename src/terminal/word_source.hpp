// The source of the command loop's words: standard input, or lines typed through the editor.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "terminal/completion.hpp"

// From now on words come from lines typed through the line editor when standard input and
// standard output are both a terminal that it can drive; otherwise, as before the call, they
// are read from standard input. The editor recalls `historySize` lines and completes from `words`.
void readFromTerminalWhenInteractive(int historySize, WordsToComplete words);

// Reads the next word into `word`, as formatted extraction of a string from standard input
// does; false at the end of input.
bool readWord(std::string& word);

// Ends the reading of words: an editor in use hands the terminal back as it found it.
void stopReadingWords();

// Takes the next word of a typed line, starting at `position`, into `word` and moves
// `position` past it; false when only white space is left. White space is what it is to
// formatted extraction in the C locale: blank, tab, line feed, vertical tab, form feed, return.
bool takeWord(std::string_view line, std::size_t& position, std::string& word);
