// The screen's current line for the line editors, and where the prompt for the awaited word starts.
#pragma once

#include <string>
#include <string_view>

// What stands on the screen's current line.
const std::string& screenLine();

// Notes text written to standard output; a line end starts a new, empty screen line.
void noteWritten(std::string_view text);

// Notes that a word of the typed line has been taken: what is written from now on up to the
// next read is the prompt for the next word.
void noteWordTaken();

// Notes that the typed line has been entered: its line end has started a new, empty screen line.
void noteLineEntered();

// Notes that the typed line held no word (Enter alone, Ctrl+C): the prompt for the awaited word,
// what was written since the last word was taken, is drawn again on a new screen line, which
// it is then. Gives that prompt.
const std::string& promptAgain();
