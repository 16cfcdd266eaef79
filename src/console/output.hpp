// The output primitives: converted messages, line ends, values and the two-line report of a line.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <ostream>
#include <string_view>

#include "console/messages.hpp"
#include "platform/platform.hpp"
#include "workspace/capacities.hpp"

// Appends the converted text of a Windows-1251 message to standard output, with no line end.
void printMessage(const char* message);

// Ends an output line: a line feed, then a flush.
std::ostream& endLine(std::ostream& out);

// Writes the parts and a line feed, then flushes: a whole output line, as the parts written one
// by one and endLine would give it, in one write when it fits a buffer of the stack.
void writeLine(std::initializer_list<std::string_view> parts);

// Room for any message in the console's encoding, terminator included.
inline constexpr std::size_t kConvertedMessageSize =
    (kMessageBufferSize - 1) * kConvertedBytesPerByte + 1;

// A message in the console's encoding.
struct ConvertedMessage {
  char text[kConvertedMessageSize];
  std::size_t length;
};

ConvertedMessage convertedCopy(const Message& message);

// The converted text of a catalogue message, converted at its first use and kept, for the
// messages that every word writes.
template <const Message& message>
std::string_view convertedMessage() {
  static const ConvertedMessage converted = convertedCopy(message);
  return {converted.text, converted.length};
}

// Writes a message, the line index and ": " on one line, then the line's text on the next.
void printLineReport(const char* message, int line);
