// The final key after "Press Enter": one key, without Enter and without echo, read whole.
#include "terminal_sessions/pseudo_terminal.hpp"

#include <fcntl.h>

namespace {

// The key, and whether it is typed together with "q" and its Enter, ahead of the wait.
struct FinalKeyCase {
  const char* name;
  Start start;
  std::string key;
  bool typedAhead = false;
};

using FinalKey = Table<FinalKeyCase>;

}  // namespace

// The key, unechoed, ends the program at once, leaves nothing for the shell and ends the row;
// the Enter after q does not count, or the key would be left unread. Of keys typed ahead (a double
// Enter, a pasted q and line) the first ends the wait and the rest is dropped.
TEST_P(FinalKey, IsReadWholeAndEndsTheProgram) {
  // The terminal kept open from this side too keeps what the program leaves unread.
  const int kept = open(ptsname(master_), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(kept, 0) << std::strerror(errno);
  typeLine("q\n" + (GetParam().typedAhead ? GetParam().key : ""));
  if (!GetParam().typedAhead) {
    ASSERT_TRUE(next("Press Enter") && waitForRawMode()) << screen_;
    EXPECT_TRUE(stillRunning());
    type(GetParam().key);
  }
  expectCleanExit();
  termios raw{};
  tcgetattr(kept, &raw);
  cfmakeraw(&raw);
  tcsetattr(kept, TCSANOW, &raw);
  char unread[64];
  EXPECT_EQ(std::string(unread, std::max(read(kept, unread, sizeof unread), 0l)), "") << "unread";
  close(kept);
  eventually([] { return false; }, master_, &screen_);  // all the program wrote, to its end
  EXPECT_EQ(screen_.substr(screen_.find("Press Enter")), "Press Enter\r\n");
}

const FinalKeyCase kFinalKeys[] = {
    {"ALetter", kDumb, "x"},
    {"AnArrowKey", kDumb, kUp},
    {"AFunctionKey", kDumb, "\x1b[15~"},
    {"ALetterOfTwoBytes", kDumb, "\xD0\xB6"},
    {"AnEmojiOfFourBytes", kDumb, "\xF0\x9F\x98\x80"},
    {"EnterAndTheLineTypedAfterIt", kDumb, "\nls\n"},
    {"CtrlCAsAKeyNotASignal", kDumb, kCtrlC},
    {"AnArrowKeyOnceTheEditorHasGivenTheTerminalBack", kXterm, kUp},
    {"EnterTypedAhead", kDumb, "\n", true},
    {"ALineTypedAhead", kDumb, "echo LEFTOVER\n", true},
    {"EnterTypedAheadAfterTheEditor", kXterm, "\n", true},
    {"ALineTypedAheadAfterTheEditor", kXterm, "echo LEFTOVER\n", true},
};
INSTANTIATE_TEST_SUITE_P(Keys, FinalKey, ::testing::ValuesIn(kFinalKeys), rowName<FinalKeyCase>);
