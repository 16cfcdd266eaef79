// Every way the program ends at a terminal: q, Ctrl+D, the end of input inside a word, SIGTERM,
// SIGINT and a closed terminal; the terminal's settings, chosen or not, are given back as found.
#include "terminal_sessions/pseudo_terminal.hpp"

namespace {

// How the input ends: "q", Ctrl+D on an empty line, or (reading without the editor) a word
// ended by Ctrl+D twice; then a key.
enum class Input { kQuit, kCtrlD, kInsideWord };

struct InputEnd {
  const char* name;
  Start start;
  Input ending;
};

// A signal sent while a line is typed, or while the final key is awaited.
struct SignalEnd {
  const char* name;
  Start start;
  bool atTheFinalKey;
  int signal;
};

using EndOfInput = StartedFrom<InputEnd>;
using EndedBySignal = StartedFrom<SignalEnd>;

// Terminals started without echoed control characters and with no flush at a signal, and
// without the terminal's own line editing as well.
const Start kEditorNoEchoctlNoflsh{"xterm", true, ECHOCTL, NOFLSH};
const Start kEditorNoIcanon{"xterm", true, ECHOCTL | ICANON, NOFLSH};
const Start kPlainNoEchoctlNoflsh{"dumb", false, ECHOCTL, NOFLSH};
const Start kPlainNoIcanon{"dumb", false, ECHOCTL | ICANON, NOFLSH};

}  // namespace

TEST_P(EndOfInput, TheTerminalIsGivenBackAsItWas) {
  typeLine("a=2 ?=a*3\n");
  ASSERT_TRUE(next("? = 6")) << screen_;
  switch (GetParam().ending) {
    case Input::kQuit: typeLine("q\n"); break;
    case Input::kCtrlD: typeLine(kCtrlD); break;
    case Input::kInsideWord: typeLine("?=a+1" + kCtrlD + kCtrlD); break;
  }
  awaitFinalKey();
  if (GetParam().ending == Input::kInsideWord) {
    EXPECT_NE(screen_.find("? = 3"), npos) << "the last word counts";
  }
  EXPECT_EQ(screen_.find("^D"), npos) << "Ctrl+D was echoed";
  type("x");
  expectCleanExit();
}

const InputEnd kInputEnds[] = {
    {"EditorDefaultQuit", kXterm, Input::kQuit},
    {"EditorDefaultCtrlD", kXterm, Input::kCtrlD},
    {"EditorNoEchoctlNoflshQuit", kEditorNoEchoctlNoflsh, Input::kQuit},
    {"EditorNoEchoctlNoflshCtrlD", kEditorNoEchoctlNoflsh, Input::kCtrlD},
    {"EditorNoIcanonQuit", kEditorNoIcanon, Input::kQuit},
    {"EditorNoIcanonCtrlD", kEditorNoIcanon, Input::kCtrlD},
    {"PlainDefaultQuit", kDumb, Input::kQuit},
    {"PlainDefaultCtrlD", kDumb, Input::kCtrlD},
    {"PlainDefaultInsideWord", kDumb, Input::kInsideWord},
    {"PlainNoEchoctlNoflshQuit", kPlainNoEchoctlNoflsh, Input::kQuit},
    {"PlainNoEchoctlNoflshCtrlD", kPlainNoEchoctlNoflsh, Input::kCtrlD},
    {"PlainNoEchoctlNoflshInsideWord", kPlainNoEchoctlNoflsh, Input::kInsideWord},
    {"PlainNoIcanonQuit", kPlainNoIcanon, Input::kQuit},
};
INSTANTIATE_TEST_SUITE_P(Settings, EndOfInput, ::testing::ValuesIn(kInputEnds), rowName<InputEnd>);

// The editor is closed before the final key: a signal that ends the program while it waits
// for that key ends it as it would anywhere.
TEST_P(EndedBySignal, TheTerminalIsGivenBackAsItWas) {
  if (GetParam().atTheFinalKey) {
    typeLine("q\n");
    awaitFinalKey();
  } else {
    typeLine("a=2");
    ASSERT_TRUE(next("a=2"));
  }
  kill(child_, GetParam().signal);
  expectEndedBy(GetParam().signal);
}

const SignalEnd kSignalEnds[] = {
    {"TerminatedWhileEditing", kXterm, false, SIGTERM},
    {"TerminatedWhileTyping", kDumb, false, SIGTERM},
    {"InterruptedAtTheFinalKeyAfterTheEditor", kXterm, true, SIGINT},
    {"InterruptedAtTheFinalKey", kDumb, true, SIGINT},
    {"TerminatedAtTheFinalKey", kEditorNoEchoctlNoflsh, true, SIGTERM},
};
INSTANTIATE_TEST_SUITE_P(Signals, EndedBySignal, ::testing::ValuesIn(kSignalEnds),
                         rowName<SignalEnd>);

TEST_F(EditingTerminal, AClosedTerminalEndsTheProgram) {
  typeLine("a=2");
  ASSERT_TRUE(next("a=2"));
  close(master_);  // the window is closed: the program is hung up
  master_ = -1;
  ASSERT_TRUE(exitsWithin(5000ms));
  EXPECT_TRUE(WIFSIGNALED(status_) && WTERMSIG(status_) == SIGHUP);
}
