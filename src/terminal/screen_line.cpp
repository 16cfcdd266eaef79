// The screen's current line as the line editors know it, and the prompt for the awaited word.
#include "terminal/screen_line.hpp"

namespace {

std::string line;

// Where in the line the text written since the last word was taken starts: the prompt for that
// word, after whatever handling the word wrote on the line.
std::size_t promptStart = 0;

}  // namespace

const std::string& screenLine() {
  return line;
}

void noteWritten(std::string_view text) {
  const std::size_t lineEnd = text.rfind('\n');
  if (lineEnd == std::string_view::npos) {
    line += text;
    return;
  }
  line.assign(text.substr(lineEnd + 1));
  promptStart = 0;
}

void noteWordTaken() {
  promptStart = line.size();
}

void noteLineEntered() {
  line.clear();
  promptStart = 0;
}

const std::string& promptAgain() {
  line.erase(0, promptStart);
  promptStart = 0;
  return line;
}
