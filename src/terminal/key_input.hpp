// The editor's keys at a terminal: UTF-8 characters, bound escape sequences, and signals.
#pragma once

#include <cstddef>

enum class KeyInput {
  key,          // a character, or a byte of a bound sequence
  interrupted,  // Ctrl+C, whether the terminal sent it or turned it into SIGINT
  resized,      // the window has a new size
  continued,    // the program was stopped (Ctrl+Z) and continued
  end,          // the end of input, or the terminal closed
};

// The escape sequences of the keys the editor knows, with the editor function of each. Only
// these reach the editor; any other sequence is dropped whole, so that no part becomes text.
struct KeyBinding {
  const char* keys;
  const char* function;
};
extern const KeyBinding kSequenceBindings[];
extern const std::size_t kSequenceBindingCount;

// Waits for the next key. A bound sequence comes a byte at a time, its Escape first; a
// character of the typed text whole, in `key`.
KeyInput nextKey(wchar_t& key);

// Catches Ctrl+C, a resized window and Ctrl+Z while the terminal is held.
void catchWaitingSignals();

// Forgets keys and signals not yet read.
void forgetPendingInput();
