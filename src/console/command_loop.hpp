// The command loop: the calculator's whole dialogue, and its help screen.
#pragma once

// Runs the dialogue until "q", "quit" or the end of input; returns the exit status, 0.
int commandLoop();

void showHelp();
