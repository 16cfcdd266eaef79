// The command loop: the calculator's whole dialogue, and its help screen.
#pragma once

#include <string>

#include "terminal/completion.hpp"

// Runs the dialogue until "q", "quit" or the end of input; returns the exit status, 0.
int commandLoop();

void showHelp();

// Takes a word that is no command as an expression line: it replaces the stored line of the same
// name or is added, when the tokenizer accepts it; an accepted task is run at once.
void enterLine(const std::string& word);

// What a typed word can be completed to now: the commands, the functions, the stored lines.
CompletionWords wordsToComplete();
