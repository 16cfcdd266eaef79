// The line editor where there is none, a build without libedit: it never opens.
#include "terminal/line_editor.hpp"

bool openLineEditor(const EditorLimits&, WordsToComplete) {
  return false;
}

bool readEditedLine(std::string&) {
  return false;
}

void closeLineEditor() {}
