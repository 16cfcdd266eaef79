// The line editor at a terminal: typed lines with editing keys, a history and Tab completion.
#pragma once

#include <string>

#include "terminal/completion.hpp"

// The editors' capacities, given by the program from its table of capacities.
struct EditorLimits {
  int historyLines;                   // typed lines recalled (where the editor keeps them)
  std::size_t consoleLineCharacters;  // characters one read of a Windows console's line takes
};

// Takes over the terminal when standard input and standard output are both a terminal that
// the editor can drive; false (nothing changed) otherwise. The history keeps `limits.historyLines`
// lines; Tab completes from what `words` gives at the time. At a Windows console, standard
// output is written through the console from then on whatever standard input is.
bool openLineEditor(const EditorLimits& limits, WordsToComplete words);

// Reads one typed line, without its line end. After Ctrl+C the prompt for the awaited word is
// drawn again and the reading goes on; so it does after a line without a word at a POSIX
// terminal, where Enter alone gives no line. False at the end of input.
bool readEditedLine(std::string& line);

// Hands the terminal back with the settings it had when the editor took it over.
void closeLineEditor();
