// Lines typed at a terminal that the editor does not drive, with Ctrl+C dropping the line.
#pragma once

#include <string>

// What reading a line gave.
enum class LineRead {
  line,   // a line (read plainly, one that holds a word)
  again,  // a line without a word (Enter alone, Ctrl+C): the word is asked for again
  end,    // the end of input
};

// Takes over the terminal on standard input when standard output is a terminal too, with Ctrl+C
// dropping the line being typed in place of ending the program. False, with nothing changed,
// where there is no such terminal (on Windows never: its console handles Ctrl+C itself).
bool holdPlainLines();

// Reads what the terminal delivers, up to and with a line end, into `line`. After Ctrl+C the row
// where the terminal echoed "^C" is ended, so that the prompt written again starts a new one.
LineRead readPlainLine(std::string& line);

// Gives the terminal back, and Ctrl+C what it did before.
void releasePlainLines();
