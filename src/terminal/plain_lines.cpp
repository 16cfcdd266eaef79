// Lines typed at a terminal without the line editor, read through the platform's wait for input.
#include "terminal/plain_lines.hpp"

#include <csignal>
#include <iostream>

#include "platform/platform.hpp"
#include "terminal/word_source.hpp"

namespace {

// What one read of a line takes at most; a longer line takes several.
constexpr std::size_t kChunkBytes = 256;

volatile std::sig_atomic_t interruptNoted = 0;

// A terminal's end of input (Ctrl+D) holds for one read only; the dialogue's holds for good.
bool inputEnded = false;

void noteInterrupt(int) {
  interruptNoted = 1;
}

bool takeInterrupt() {
  if (!interruptNoted) return false;
  interruptNoted = 0;
  return true;
}

}  // namespace

bool holdPlainLines() {
  if (!standardOutputIsTerminal() || !holdTerminal()) return false;
  if (!signalIsIgnored(SIGINT)) catchWhileHeld(SIGINT, noteInterrupt);
  interruptNoted = 0;
  inputEnded = false;
  return true;
}

// The terminal itself drops what was typed of the line and echoes "^C".
LineRead readPlainLine(std::string& line) {
  std::cout.flush();
  line.clear();
  if (inputEnded) return LineRead::end;
  while (true) {
    char bytes[kChunkBytes];
    std::size_t count = 0;
    switch (readInput(bytes, sizeof bytes, count, kNoTimeLimit, takeInterrupt)) {
      case InputRead::noted: std::cout << '\n'; return LineRead::again;
      case InputRead::bytes:
        appendTypedText(line, {bytes, count});
        if (line.back() != '\n') continue;
        break;
      default:
        inputEnded = true;
        if (line.empty()) return LineRead::end;
        break;
    }
    return holdsWord(line) ? LineRead::line : LineRead::again;
  }
}

void releasePlainLines() {
  releaseTerminal();
}
