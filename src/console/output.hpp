// The output primitives: converted messages, line ends, values and the two-line report of a line.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <ostream>
#include <string_view>

#include "console/messages.hpp"
#include "console/platform.hpp"

// Appends the converted text of a Windows-1251 message to standard output, with no line end.
void printMessage(const char* message);

// Ends an output line: a line feed, then a flush.
std::ostream& endLine(std::ostream& out);

// Writes the parts and a line feed, then flushes: a whole output line, as the parts written one
// by one and endLine would give it, in one write when it fits a buffer of the stack.
void writeLine(std::initializer_list<std::string_view> parts);

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

// Room for any text of formatFloat: a sign, six digits, a point and an exponent ("-1.17549e-38")
// or a point and up to nine places ("-0.000123457") take at most 12 bytes.
inline constexpr std::size_t kFloatTextSize = 16;

// Writes the text that the stream gives a float in its default format (printf's "%g": six
// significant digits, trailing zeros dropped, exponent form below 0.0001 and from 1e+06 on),
// except that every not-a-number is "nan", whatever its sign bit. Returns the end of the text,
// which has no terminator.
char* formatFloat(float value, char* text);
