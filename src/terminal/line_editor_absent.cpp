// The line editor where there is none (Windows, whose console edits lines for every program,
// or a build without libedit): words are always read from standard input.
#include "terminal/line_editor.hpp"

bool openLineEditor(const EditorLimits&, WordsToComplete) {
  return false;
}

bool readEditedLine(std::string&) {
  return false;
}

void closeLineEditor() {}
