// The operating system's seam: messages' code page, the final key, the terminal and its input.
#pragma once

#include <cstddef>

#if defined(_WIN32)
// The OEM code page takes one byte per character, as Windows-1251 does; a console is given the
// Windows-1251 text itself.
inline constexpr std::size_t kConvertedBytesPerByte = 1;
// One byte of the console's text is one character of its code page.
inline constexpr bool kConsoleTextIsUtf8 = false;
#else
// UTF-8 takes up to three bytes for a Windows-1251 character.
inline constexpr std::size_t kConvertedBytesPerByte = 3;
// A character of the console's text may take several bytes.
inline constexpr bool kConsoleTextIsUtf8 = true;
#endif

// Converts a NUL-terminated Windows-1251 message into the encoding of standard output, terminator
// included, and gives the converted length; `converted` holds kConvertedBytesPerByte bytes per
// byte of the message and one more.
std::size_t convertMessage(const char* message, char* converted);

// Waits for one key, without echo, and ignores it. At a terminal the whole key is taken (an
// escape sequence, a character of several bytes); a key typed before the wait began ends it at
// once; nothing else typed is left for the next program; and the row is ended after it.
void waitForKey();

// Reads and drops what was typed ahead of the final key's wait, before a library that discards
// it (libedit does at its end) can; when there was a key, the wait ends at once.
void takeKeysTypedAhead();

// From now on a write to a pipe whose reader has gone fails as a write to a full disk does,
// instead of ending the program at once by the signal POSIX sends (SIGPIPE).
void treatBrokenPipesAsWriteErrors();

// After a write to standard output has failed: true when it failed because nobody reads it any
// more, the reading end of its pipe or socket being closed; false for a full disk and the like.
bool standardOutputIsBroken();

// True when standard output is a terminal: at a POSIX system one that isatty knows, on Windows a
// console (GetConsoleMode succeeds on it); false for a file or a pipe. At a Windows console the
// line editor writes standard output through WriteConsoleW, turning the Windows-1251 text into
// UTF-16 itself, so convertMessage leaves messages as they are there.
bool standardOutputIsTerminal();

// ---- The terminal on standard input ---------------------------------------------------------

// Takes the terminal over: keeps its settings as found, and until it is released makes the
// signals that end the program (hangup, interrupt, quit, terminate) give them back before the
// program ends. A signal that the program was started to ignore, as under nohup, stays ignored.
// False, with nothing changed, when standard input is no terminal, and always on Windows, whose
// console keeps its own settings and handles Ctrl+C for every program.
bool holdTerminal();

// Catches a signal while the terminal is held, in place of what it did before; the wait for
// input is not restarted after it. Released with the terminal.
void catchWhileHeld(int signalNumber, void (*handler)(int));

// Whether the signal is ignored now, as one that the program was started to ignore.
bool signalIsIgnored(int signalNumber);

// For a handler of the stop signal (Ctrl+Z) at a POSIX terminal: stops the program with the
// terminal as found and, once continued, puts back the settings in use and `handler` for the next
// stop.
void stopWithTerminalAsFound(void (*handler)(int));

// Gives the terminal back as found, once what was written has been sent, and every signal what
// it did before the terminal was held.
void releaseTerminal();

// The bytes of one key arrive together: what follows its first byte within this gap is part of
// it.
inline constexpr int kKeyGapMilliseconds = 100;

// A wait for input without a time limit.
inline constexpr int kNoTimeLimit = -1;

// What a read of standard input gave.
enum class InputRead {
  bytes,   // at least one byte
  end,     // the end of input, or a fault
  timeUp,  // nothing within the time limit
  noted,   // a signal noted by its handler was taken
};

// Waits until standard input has bytes, `milliseconds` have passed (never, for kNoTimeLimit),
// or `takeNoted` (unless null) takes a signal that its handler has noted, and reads at most
// `size` bytes into `bytes`, counted in `count`. The signals caught while the terminal is held
// are blocked but inside the wait, so that none comes between `takeNoted` and the wait. On
// Windows, with no terminal held, it is the end at once.
InputRead readInput(char* bytes, std::size_t size, std::size_t& count, int milliseconds,
                    bool (*takeNoted)());
