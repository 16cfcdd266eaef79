// Tests of the line editor's life at a terminal: what it takes when it opens it gives back when
// it closes.
#include "terminal/line_editor.hpp"

#include <gtest/gtest.h>
#include <malloc.h>

#include <fcntl.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "support/terminal_streams.hpp"

namespace {

// The lowest descriptor that is free: higher once one has been left open.
int lowestFreeDescriptor() {
  const int probe = open("/dev/null", O_RDONLY);
  close(probe);
  return probe;
}

std::size_t heapInUse() {
  return mallinfo2().uordblks;
}

}  // namespace

// Opened and closed again and again, the editor gives back what it takes (some 70 KiB each
// time); the terminal database keeps a few KiB of the entry that each opening reads. The checks
// come after the terminal is gone, where GoogleTest can write their reports.
TEST(LineEditor, GivesBackItsMemoryWhenClosed) {
#if !CALCULATOR_LIBEDIT
  GTEST_SKIP() << "built without the line editor";
#elif defined(__SANITIZE_ADDRESS__)
  // The sanitizer keeps the heap itself; its leak check covers the editor in whole sessions.
  GTEST_SKIP() << "the heap is AddressSanitizer's";
#endif
  int opened = 0;
  std::size_t before = 0;
  std::size_t after = 0;
  int freeDescriptor = -1;
  const char* const typeFound = std::getenv("TERM");
  const std::string savedType = typeFound == nullptr ? "" : typeFound;
  setenv("TERM", "xterm", 1);
  {
    const TerminalOnStandardStreams terminal(false, 2);
    freeDescriptor = lowestFreeDescriptor();
    for (int k = 0; k < 6; ++k) {
      if (k == 1) before = heapInUse();
      opened += openLineEditor({500, 4096}, [] { return CompletionWords{}; });
      closeLineEditor();
    }
    after = heapInUse();
    EXPECT_EQ(lowestFreeDescriptor(), freeDescriptor) << "a file was left open";
  }
  savedType.empty() ? unsetenv("TERM") : setenv("TERM", savedType.c_str(), 1);
  EXPECT_EQ(opened, 6);
  EXPECT_LT(after, before + 5 * 16 * 1024) << "from " << before;
  // The characters are the C locale's again, as the rest of the program expects.
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
}
