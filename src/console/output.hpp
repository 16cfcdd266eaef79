// The output primitives: converted messages, line ends, and the report that names a stored line.
#pragma once

#include <cstddef>
#include <ostream>

#include "console/messages.hpp"
#include "platform/platform.hpp"
#include "workspace/capacities.hpp"

// Room for any message in the console's encoding, terminator included.
inline constexpr std::size_t kConvertedMessageSize =
    (kMessageBufferSize - 1) * kConvertedBytesPerByte + 1;

// Appends the converted text of a Windows-1251 message to standard output, with no line end.
void printMessage(const char* message);

// Ends an output line: a line feed, then a flush.
std::ostream& endLine(std::ostream& out);

// A message alone on its output line.
void printMessageLine(const Message& message);

// The message, the stored line's index and ": " on one output line, the line's text on the next.
void reportStoredLine(const Message& message, int line);
