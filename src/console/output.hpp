// The output primitives: converted messages, line ends and the two-line report of a line.
#pragma once

#include <ostream>

// Appends the converted text of a Windows-1251 message to standard output, with no line end.
void printMessage(const char* message);

// Ends an output line: a line feed, then a flush.
std::ostream& endLine(std::ostream& out);

// Writes a message, the line index and ": " on one line, then the line's text on the next.
void printLineReport(const char* message, int line);
