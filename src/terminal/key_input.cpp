// The editor's keys at a terminal: escape sequences taken whole, UTF-8 decoded, signals taken.
#include "terminal/key_input.hpp"

#include <csignal>
#include <string>
#include <utility>

#include "platform/platform.hpp"
#include "text/utf8.hpp"

const KeyBinding kSequenceBindings[] = {
    {"\033[A", "ed-prev-history"},       {"\033OA", "ed-prev-history"},
    {"\033[B", "ed-next-history"},       {"\033OB", "ed-next-history"},
    {"\033[C", "ed-next-char"},          {"\033OC", "ed-next-char"},
    {"\033[D", "ed-prev-char"},          {"\033OD", "ed-prev-char"},
    {"\033[H", "ed-move-to-beg"},        {"\033OH", "ed-move-to-beg"},
    {"\033[1~", "ed-move-to-beg"},       {"\033[7~", "ed-move-to-beg"},
    {"\033[F", "ed-move-to-end"},        {"\033OF", "ed-move-to-end"},
    {"\033[4~", "ed-move-to-end"},       {"\033[8~", "ed-move-to-end"},
    {"\033[3~", "ed-delete-next-char"},  {"\033[1;5C", "em-next-word"},
    {"\033[1;5D", "ed-prev-word"},       {"\033f", "em-next-word"},
    {"\033b", "ed-prev-word"},           {"\033d", "em-delete-next-word"},
    {"\033\177", "ed-delete-prev-word"},
};
const std::size_t kSequenceBindingCount = std::size(kSequenceBindings);

namespace {

volatile std::sig_atomic_t interruptNoted = 0;
volatile std::sig_atomic_t resizeNoted = 0;
volatile std::sig_atomic_t continueNoted = 0;

void noteInterrupt(int) {
  interruptNoted = 1;
}

void noteResize(int) {
  resizeNoted = 1;
}

// Ctrl+Z: stopped with the terminal as found, continued with the editor's settings.
void suspend(int) {
  stopWithTerminalAsFound(suspend);
  continueNoted = 1;
}

// What takeSignal took last.
KeyInput signalTaken = KeyInput::end;

// Takes a signal that its handler has noted: Ctrl+C first; a continued program is drawn afresh
// in the window's size, which takes a resize with it.
bool takeSignal() {
  if (interruptNoted) {
    interruptNoted = 0;
    signalTaken = KeyInput::interrupted;
  } else if (continueNoted) {
    continueNoted = 0;
    resizeNoted = 0;
    signalTaken = KeyInput::continued;
  } else if (resizeNoted) {
    resizeNoted = 0;
    signalTaken = KeyInput::resized;
  } else {
    return false;
  }
  return true;
}

// Inside a sequence, Ctrl+C ends it and is left to be taken after it.
bool interruptIsNoted() {
  return interruptNoted != 0;
}

constexpr char kEscape = '\x1b';

// The next byte of a sequence: false when none comes within the gap of one key's bytes.
bool takeSequenceByte(char& byte) {
  std::size_t count = 0;
  return readInput(&byte, 1, count, kKeyGapMilliseconds, interruptIsNoted) == InputRead::bytes;
}

bool isBoundSequence(const std::string& keys) {
  for (const KeyBinding& binding : kSequenceBindings) {
    if (keys == binding.keys) return true;
  }
  return false;
}

// The bytes of a bound sequence, handed to the editor one by one.
std::string pendingKeys;
std::size_t nextPendingKey = 0;

// sequence -> ESC ( "[" | "O" ) {parameter or intermediate byte} final byte | ESC byte.
// The Linux console's function keys add a "[" ("\033[[A"). An Escape that follows an Escape
// starts the sequence afresh.
bool takeEscapeSequence(std::string& keys) {
  keys.assign(1, kEscape);
  char byte = 0;
  if (!takeSequenceByte(byte)) return false;
  while (byte == kEscape) {
    if (!takeSequenceByte(byte)) return false;
  }
  keys += byte;
  if (byte != '[' && byte != 'O') return isBoundSequence(keys);
  while (true) {
    if (!takeSequenceByte(byte)) return false;
    keys += byte;
    const bool consoleFunctionKey = keys == "\033[[";
    if (isByteIn(byte, 0x40, 0x7E) && !consoleFunctionKey) break;
    if (!isByteIn(byte, 0x20, 0x7E)) return false;
  }
  return isBoundSequence(keys);
}

}  // namespace

KeyInput nextKey(wchar_t& key) {
  if (nextPendingKey < pendingKeys.size()) {
    key = static_cast<unsigned char>(pendingKeys[nextPendingKey++]);
    return KeyInput::key;
  }
  std::string begun;  // the bytes of the character being typed
  while (true) {
    char byte = 0;
    std::size_t count = 0;
    const InputRead read = readInput(&byte, 1, count, kNoTimeLimit, takeSignal);
    if (read == InputRead::noted) return signalTaken;
    if (read != InputRead::bytes) return KeyInput::end;
    if (byte == kEscape) {
      begun.clear();
      std::string keys;
      if (!takeEscapeSequence(keys)) continue;
      pendingKeys = std::move(keys);
      nextPendingKey = 1;
      key = static_cast<unsigned char>(kEscape);
      return KeyInput::key;
    }
    // A byte that begins no character is dropped, and so is one that cannot continue the
    // character begun, with that character.
    if (begun.empty() ? utf8LengthOfLead(byte) == 0 : !utf8MayContinue(begun, byte)) {
      begun.clear();
      continue;
    }
    begun += byte;
    if (begun.size() < utf8LengthOfLead(begun[0])) continue;
    key = static_cast<wchar_t>(utf8CodeOf(begun));
    return KeyInput::key;
  }
}

void catchWaitingSignals() {
  catchWhileHeld(SIGINT, noteInterrupt);
  catchWhileHeld(SIGWINCH, noteResize);
  catchWhileHeld(SIGTSTP, suspend);
}

void forgetPendingInput() {
  pendingKeys.clear();
  nextPendingKey = 0;
  interruptNoted = 0;
  resizeNoted = 0;
  continueNoted = 0;
}
