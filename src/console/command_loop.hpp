// The command loop: the calculator's whole dialogue, and its help screen.
#pragma once

#include "terminal/completion.hpp"

// Runs the dialogue until "q", "quit" or the end of input; returns the exit status, 0.
int commandLoop();

void showHelp();

// What a typed word can be completed to now: the commands, the functions, the stored lines.
CompletionWords wordsToComplete();
