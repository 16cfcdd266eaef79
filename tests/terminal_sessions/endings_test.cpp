// Every way the program ends at a terminal: q, Ctrl+D, the end of input inside a word, SIGTERM,
// SIGINT and a closed terminal; the terminal's settings, chosen or not, are given back as found.
#include "terminal_sessions/pseudo_terminal.hpp"

#include <utility>

namespace {

// The keys that end the input, before the final key.
struct InputEnd {
  const char* name;
  Start start;
  std::string keys;
};

// A signal sent while a line is typed or the final key awaited; SIGHUP as a closed window's.
struct SignalEnd {
  const char* name;
  Start start;
  bool atTheFinalKey;
  int signal;
};

using EndOfInput = Table<InputEnd>;
using EndedBySignal = Table<SignalEnd>;

// Without echoed control characters and with no flush at a signal; without line editing too.
const Start kEditorNoEchoctlNoflsh{"xterm", true, ECHOCTL, NOFLSH};
const Start kEditorNoIcanon{"xterm", true, ECHOCTL | ICANON, NOFLSH};
const Start kPlainNoEchoctlNoflsh{"dumb", false, ECHOCTL, NOFLSH};
const Start kPlainNoIcanon{"dumb", false, ECHOCTL | ICANON, NOFLSH};

// Reading without the editor, a word ended by Ctrl+D twice ends the input too.
const std::string kInsideWord = "?=a+1" + kCtrlD + kCtrlD;

}  // namespace

TEST_P(EndOfInput, TheTerminalIsGivenBackAsItWas) {
  typeLine("a=2 ?=a*3\n", "? = 6");
  typeLine(GetParam().keys);
  pressTheFinalKey();
  EXPECT_EQ(screen_.find("? = 3") != npos, GetParam().keys == kInsideWord) << "the last word";
  EXPECT_EQ(screen_.find("^D"), npos) << "Ctrl+D was echoed";
}

const InputEnd kInputEnds[] = {
    {"EditorDefaultCtrlD", kXterm, kCtrlD},
    {"EditorNoEchoctlNoflshQuit", kEditorNoEchoctlNoflsh, "q\n"},
    {"EditorNoEchoctlNoflshCtrlD", kEditorNoEchoctlNoflsh, kCtrlD},
    {"EditorNoIcanonQuit", kEditorNoIcanon, "q\n"},
    {"EditorNoIcanonCtrlD", kEditorNoIcanon, kCtrlD},
    {"PlainDefaultCtrlD", kDumb, kCtrlD},
    {"PlainDefaultInsideWord", kDumb, kInsideWord},
    {"PlainNoEchoctlNoflshQuit", kPlainNoEchoctlNoflsh, "q\n"},
    {"PlainNoEchoctlNoflshCtrlD", kPlainNoEchoctlNoflsh, kCtrlD},
    {"PlainNoEchoctlNoflshInsideWord", kPlainNoEchoctlNoflsh, kInsideWord},
    {"PlainNoIcanonQuit", kPlainNoIcanon, "q\n"},
};
INSTANTIATE_TEST_SUITE_P(Settings, EndOfInput, ::testing::ValuesIn(kInputEnds), rowName<InputEnd>);

// The editor is closed before the final key: a signal that ends the program while it waits
// for that key ends it as it would anywhere.
TEST_P(EndedBySignal, TheTerminalIsGivenBackAsItWas) {
  const bool atTheFinalKey = GetParam().atTheFinalKey;
  typeLine(atTheFinalKey ? "q\n" : "a=2", atTheFinalKey ? "Press Enter" : "a=2");
  ASSERT_TRUE(!atTheFinalKey || waitForRawMode()) << screen_;
  if (GetParam().signal == SIGHUP)
    close(std::exchange(master_, -1));
  else
    kill(child_, GetParam().signal);
  ASSERT_TRUE(exits()) << "the program has not ended";
  EXPECT_TRUE(WIFSIGNALED(status_) && WTERMSIG(status_) == GetParam().signal) << status_;
  if (master_ >= 0) expectSettingsAsFound();
}

const SignalEnd kSignalEnds[] = {
    {"TerminatedWhileEditing", kXterm, false, SIGTERM},
    {"TerminatedWhileTyping", kDumb, false, SIGTERM},
    {"InterruptedAtTheFinalKeyAfterTheEditor", kXterm, true, SIGINT},
    {"InterruptedAtTheFinalKey", kDumb, true, SIGINT},
    {"TerminatedAtTheFinalKey", kEditorNoEchoctlNoflsh, true, SIGTERM},
    {"HungUpByAClosedTerminalWhileEditing", kXterm, false, SIGHUP},
};
INSTANTIATE_TEST_SUITE_P(Signals, EndedBySignal, ::testing::ValuesIn(kSignalEnds),
                         rowName<SignalEnd>);

// Where hang-ups are ignored (nohup), a closed terminal is the end of the input.
void ignoreHangUps() {
  std::signal(SIGHUP, SIG_IGN);
}
using EditingWithHangUpsIgnored = EditingTerminalAfter<ignoreHangUps>;

TEST_F(EditingWithHangUpsIgnored, AClosedTerminalEndsTheInput) {
  typeLine("a=2", "a=2");
  close(std::exchange(master_, -1));
  ASSERT_TRUE(exits()) << "the program has not ended";
  EXPECT_TRUE(WIFEXITED(status_) && WEXITSTATUS(status_) == 0) << status_;
}
