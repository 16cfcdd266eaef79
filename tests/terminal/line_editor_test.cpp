// Tests of the line editor's life at a terminal: what it takes when it opens it gives back when
// it closes.
#include "terminal/line_editor.hpp"

#include <gtest/gtest.h>
#include <malloc.h>
#include <pty.h>
#include <unistd.h>

#include <fcntl.h>

#include <clocale>
#include <cstdlib>

namespace {

CompletionWords noWords() {
  return {};
}

// Standard input and output are a pseudo-terminal of the type xterm for as long as it lives.
class XtermOnStandardStreams {
 public:
  XtermOnStandardStreams() {
    EXPECT_EQ(openpty(&master_, &terminal_, nullptr, nullptr, nullptr), 0);
    for (int k = 0; k < 2; ++k) {
      saved_[k] = dup(k);
      dup2(terminal_, k);
    }
    const char* type = std::getenv("TERM");
    if (type != nullptr) savedType_ = type;
    setenv("TERM", "xterm", 1);
  }
  ~XtermOnStandardStreams() {
    for (int k = 0; k < 2; ++k) {
      dup2(saved_[k], k);
      close(saved_[k]);
    }
    close(terminal_);
    close(master_);
    if (savedType_.empty()) unsetenv("TERM");
    if (!savedType_.empty()) setenv("TERM", savedType_.c_str(), 1);
  }
  XtermOnStandardStreams(const XtermOnStandardStreams&) = delete;
  XtermOnStandardStreams& operator=(const XtermOnStandardStreams&) = delete;

 private:
  int master_ = -1;
  int terminal_ = -1;
  int saved_[2] = {-1, -1};
  std::string savedType_;
};

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
  {
    const XtermOnStandardStreams terminal;
    freeDescriptor = lowestFreeDescriptor();
    for (int k = 0; k < 6; ++k) {
      if (k == 1) before = heapInUse();
      opened += openLineEditor({500, 4096}, noWords);
      closeLineEditor();
    }
    after = heapInUse();
    EXPECT_EQ(lowestFreeDescriptor(), freeDescriptor) << "a file was left open";
  }
  EXPECT_EQ(opened, 6);
  EXPECT_LT(after, before + 5 * 16 * 1024) << "from " << before;
  // The characters are the C locale's again, as the rest of the program expects.
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
}
