// The calculator's entry point.
#include "console/command_loop.hpp"
#include "terminal/word_source.hpp"
#include "workspace/capacities.hpp"

int main() {
  readFromTerminalWhenInteractive({kHistoryLines, kConsoleLineCharacters}, wordsToComplete);
  return commandLoop();
}
