// The command words: each is also taken by its first letter.
#pragma once

#include <string_view>

enum Command { kHelp, kList, kRun, kClear, kQuit, kCommandCount, kNoCommand = kCommandCount };

inline constexpr std::string_view kCommandWords[kCommandCount] = {"help", "list", "run", "clear",
                                                                  "quit"};

// The command that a word names, in full or by its first letter; kNoCommand for any other word.
constexpr Command commandNamed(std::string_view word) {
  if (word.size() > 5) return kNoCommand;  // no command word is longer
  for (int c = 0; c < kCommandCount; ++c) {
    if (word == kCommandWords[c] || word == kCommandWords[c].substr(0, 1))
      return static_cast<Command>(c);
  }
  return kNoCommand;
}
