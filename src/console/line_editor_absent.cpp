// The line editor where there is none (Windows, whose console edits lines for every program,
// or a build without libedit): words are always read from standard input.
#include "console/line_editor.hpp"

bool openLineEditor() {
  return false;
}

bool readEditedLine(std::string&) {
  return false;
}

void noteWordTaken() {}

void closeLineEditor() {}
