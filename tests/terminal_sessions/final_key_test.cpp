// The final key after "Press Enter": one key, without Enter and without echo, read whole.
#include "terminal_sessions/pseudo_terminal.hpp"

namespace {

struct FinalKeyCase {
  const char* name;
  Start start;
  std::string key;
};

using FinalKey = StartedFrom<FinalKeyCase>;
using TypedAhead = StartedFrom<FinalKeyCase>;

}  // namespace

// The key ends the program at once: it is not echoed, nothing of it is left for the program
// that reads the terminal next (the shell), and the row is ended after it. The Enter after q
// does not count: had it ended the program, the key would be left unread.
TEST_P(FinalKey, IsReadWholeAndEndsTheProgram) {
  keepTerminalOpen();
  typeLine("q\n");
  awaitFinalKey();
  EXPECT_TRUE(stillRunning());
  type(GetParam().key);
  expectCleanExit();
  EXPECT_EQ(inputLeftUnread(), "");
  EXPECT_EQ(screenAfter("Press Enter"), "\r\n");
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
};
INSTANTIATE_TEST_SUITE_P(Keys, FinalKey, ::testing::ValuesIn(kFinalKeys), rowName<FinalKeyCase>);

// Keys typed together with "q" and its Enter (a quick double Enter, a paste of q and a line):
// the first ends the wait for the final key, and the rest is dropped, not left for the shell.
TEST_P(TypedAhead, TheFirstKeyEndsTheWaitAndTheRestIsDropped) {
  keepTerminalOpen();
  typeLine("q\n" + GetParam().key);
  expectCleanExit();
  EXPECT_EQ(inputLeftUnread(), "");
  EXPECT_EQ(screenAfter("Press Enter"), "\r\n");
}

const FinalKeyCase kTypedAhead[] = {
    {"Enter", kDumb, "\n"},
    {"ALine", kDumb, "echo LEFTOVER\n"},
    {"EnterAfterTheEditor", kXterm, "\n"},
    {"ALineAfterTheEditor", kXterm, "echo LEFTOVER\n"},
};
INSTANTIATE_TEST_SUITE_P(Keys, TypedAhead, ::testing::ValuesIn(kTypedAhead), rowName<FinalKeyCase>);
