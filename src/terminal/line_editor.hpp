// The line editor at a terminal: typed lines with editing keys, a history and Tab completion.
#pragma once

#include <string>

#include "terminal/completion.hpp"

// Takes over the terminal when standard input and standard output are both a terminal that
// the editor can drive; false (nothing changed) otherwise. The history keeps `historySize`
// lines; Tab completes from what `words` gives at the time. At a Windows console, standard
// output is written through the console from then on whatever standard input is.
bool openLineEditor(int historySize, WordsToComplete words);

// Reads one typed line, without its line end; false at the end of input.
bool readEditedLine(std::string& line);

// Marks that a word of the typed line has been taken: what is written from now on up to the
// next read is the prompt for the next word.
void noteWordTaken();

// Hands the terminal back with the settings it had when the editor took it over.
void closeLineEditor();
