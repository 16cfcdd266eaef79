// The output primitives: converted messages, line ends, and the report that names a stored line.
#pragma once

#include <cstddef>
#include <iostream>
#include <ostream>
#include <string_view>

#include "console/messages.hpp"
#include "platform/platform.hpp"
#include "workspace/capacities.hpp"

// Room for any message in the console's encoding, terminator included.
inline constexpr std::size_t kConvertedMessageSize =
    (kMessageBufferSize - 1) * kConvertedBytesPerByte + 1;

// Appends the converted text of a Windows-1251 message to standard output, with no line end.
void printMessage(const char* message);

// Ends an output line: a line feed, then sendOutput.
std::ostream& endLine(std::ostream& out);

// Flushes the stream. When the write fails because nobody reads standard output any more (the
// reader of its pipe has gone), the program ends at once with status 0: what it would go on to
// write could not be read, nor the final key be typed for it. Any other failure leaves the
// stream's error state set, and the program goes on.
void sendOutput(std::ostream& out = std::cout);

// Writes text that the user typed, as typed; but where standard output is a terminal, each of
// its control characters in caret notation, so that the terminal shows it instead of obeying it.
void printTypedText(std::string_view text);

// A message alone on its output line.
void printMessageLine(const Message& message);

// The message, the stored line's index and ": " on one output line, the line's text on the next.
void reportStoredLine(const Message& message, int line);
