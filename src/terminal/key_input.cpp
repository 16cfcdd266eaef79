// Keys typed at a terminal: bytes read one at a time, escape sequences taken whole, UTF-8
// characters decoded, and the signals that end the wait for a key.
#include "terminal/key_input.hpp"

#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>

#include "platform/platform.hpp"

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

volatile std::sig_atomic_t interruptPending = 0;
volatile std::sig_atomic_t resizePending = 0;
volatile std::sig_atomic_t continuedPending = 0;

void noteInterrupt(int) {
  interruptPending = 1;
}

void noteResize(int) {
  resizePending = 1;
}

// Ctrl+Z: stopped with the terminal as found, continued with the editor's settings.
void suspend(int) {
  stopWithTerminalAsFound(suspend);
  continuedPending = 1;
}

constexpr int kWaitingSignals[] = {SIGINT, SIGWINCH, SIGTSTP};

constexpr unsigned char kEscape = 0x1B;

// A lone Escape or the rest of a sequence that is slower than this is no sequence.
constexpr long kSequenceGapNanoseconds = 100'000'000;

enum class Wait { byte, quiet, end, interrupted, resized, continued };

// A signal noted by its handler, or none; an interrupt is left for later within a sequence.
Wait pendingSignal(bool briefly) {
  if (interruptPending) {
    if (briefly) return Wait::quiet;
    interruptPending = 0;
    return Wait::interrupted;
  }
  if (briefly) return Wait::byte;
  if (continuedPending) {
    continuedPending = 0;
    resizePending = 0;
    return Wait::continued;
  }
  if (resizePending) {
    resizePending = 0;
    return Wait::resized;
  }
  return Wait::byte;
}

// Waits for one byte of input. The signals that interrupt the wait are blocked except inside
// pselect, so that none arrives between the check of its flag and the wait. Within a
// sequence (`briefly`) the wait ends after the gap.
Wait waitForByte(unsigned char& byte, bool briefly) {
  sigset_t waiting;
  sigset_t previous;
  sigemptyset(&waiting);
  for (int signalNumber : kWaitingSignals)
    sigaddset(&waiting, signalNumber);
  sigprocmask(SIG_BLOCK, &waiting, &previous);
  Wait wait = Wait::end;
  while (true) {
    wait = pendingSignal(briefly);
    if (wait != Wait::byte) break;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(STDIN_FILENO, &readable);
    const timespec gap = {0, kSequenceGapNanoseconds};
    const int ready =
        pselect(STDIN_FILENO + 1, &readable, nullptr, nullptr, briefly ? &gap : nullptr, &previous);
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      wait = Wait::quiet;
      break;
    }
    wait = ready > 0 && read(STDIN_FILENO, &byte, 1) == 1 ? Wait::byte : Wait::end;
    break;
  }
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return wait;
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
  keys.assign(1, static_cast<char>(kEscape));
  unsigned char byte = 0;
  if (waitForByte(byte, true) != Wait::byte) return false;
  while (byte == kEscape) {
    if (waitForByte(byte, true) != Wait::byte) return false;
  }
  keys += static_cast<char>(byte);
  if (byte != '[' && byte != 'O') return isBoundSequence(keys);
  while (true) {
    if (waitForByte(byte, true) != Wait::byte) return false;
    keys += static_cast<char>(byte);
    const bool consoleFunctionKey = keys == "\033[[";
    if (byte >= 0x40 && byte <= 0x7E && !consoleFunctionKey) break;
    if (byte < 0x20 || byte > 0x7E) return false;
  }
  return isBoundSequence(keys);
}

KeyInput inputOf(Wait wait) {
  switch (wait) {
    case Wait::interrupted: return KeyInput::interrupted;
    case Wait::resized: return KeyInput::resized;
    case Wait::continued: return KeyInput::continued;
    default: return KeyInput::end;
  }
}

}  // namespace

KeyInput readKeyInput(wchar_t& key) {
  if (nextPendingKey < pendingKeys.size()) {
    key = static_cast<unsigned char>(pendingKeys[nextPendingKey++]);
    return KeyInput::key;
  }
  std::mbstate_t state{};
  while (true) {
    unsigned char byte = 0;
    const Wait wait = waitForByte(byte, false);
    if (wait != Wait::byte) return inputOf(wait);
    if (byte == kEscape) {
      state = {};
      std::string keys;
      if (!takeEscapeSequence(keys)) continue;
      pendingKeys = std::move(keys);
      nextPendingKey = 1;
      key = kEscape;
      return KeyInput::key;
    }
    const char character = static_cast<char>(byte);
    const std::size_t decoded = std::mbrtowc(&key, &character, 1, &state);
    if (decoded == static_cast<std::size_t>(-2)) continue;  // more bytes of this character
    if (decoded == static_cast<std::size_t>(-1)) {
      state = {};  // not UTF-8: dropped
      continue;
    }
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
  interruptPending = 0;
  resizePending = 0;
  continuedPending = 0;
}
