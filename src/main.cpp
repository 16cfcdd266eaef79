// The calculator's entry point.
#include "console/command_loop.hpp"
#include "platform/platform.hpp"
#include "terminal/word_source.hpp"
#include "workspace/capacities.hpp"

int main() {
  treatBrokenPipesAsWriteErrors();
  readFromTerminalWhenInteractive({kHistoryLines, kConsoleLineCharacters}, wordsToComplete);
  return commandLoop();
}
