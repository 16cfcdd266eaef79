// Standard input detached from the terminal.
#include "standard_input.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

void detachStandardInput() {
  const int null = open("/dev/null", O_RDONLY);
  if (null < 0 || dup2(null, STDIN_FILENO) < 0) {
    std::perror("/dev/null as standard input");
    std::abort();
  }
  // Where standard input was closed, /dev/null opens as descriptor 0 itself and stays open.
  if (null != STDIN_FILENO) close(null);
}
