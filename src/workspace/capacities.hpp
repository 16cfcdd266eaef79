// Every fixed capacity of the calculator, in one place.
#pragma once

#include <cstddef>

inline constexpr int kMaxLines = 20;         // stored expression lines
inline constexpr int kTokenBufferSize = 50;  // bytes in one line's token stream
inline constexpr int kNumberPoolSize = 40;   // single-precision slots shared by all lines
inline constexpr int kMaxDefinitions = 30;   // names defined by lines
inline constexpr int kMaxReferences = 30;    // names used inside expressions
inline constexpr int kFunctionCount = 9;     // function names, the placeholder at index 0 included
inline constexpr int kHistoryLines = 500;    // typed lines the terminal editor recalls

// Bytes of one word. A longer word is refused, and its bytes past the limit are read and dropped,
// so that no input, however long, is held whole. No line that the tables can hold comes near it
// but for a name of thousands of letters; a line typed at a terminal ends at 4 095 bytes anyway.
inline constexpr std::size_t kMaxWordBytes = 4096;

// Characters one read of a Windows console's line input takes, its line end included; a longer
// line comes in several reads.
inline constexpr std::size_t kConsoleLineCharacters = 4096;

// A message is at most 59 Windows-1251 bytes; with its terminator it fills this buffer.
inline constexpr std::size_t kMessageBufferSize = 60;

// Open brackets one range can hold: every "(" needs its own ")" and the innermost pair holds
// an operand of at least two bytes, so a 50-byte stream never nests deeper than 24.
inline constexpr int kBracketStackSize = (kTokenBufferSize - 2) / 2;
