// The calculator's entry point.
#include "console/command_loop.hpp"

int main() {
  return commandLoop();
}
