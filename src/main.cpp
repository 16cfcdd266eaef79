// The calculator's entry point.
#include "console/command_loop.hpp"
#include "console/word_source.hpp"

int main() {
  readFromTerminalWhenInteractive();
  return commandLoop();
}
