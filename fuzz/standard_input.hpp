// Standard input detached from the terminal, for the fuzzer and the benchmark.
#pragma once

// Points file descriptor 0 at /dev/null for the rest of the process. The command loop's final
// key read takes a byte from std::cin only when file descriptor 0 is no terminal; started from
// a terminal, a program that runs dialogues would otherwise wait for a key after each of them.
// Aborts with a message when /dev/null cannot be opened.
void detachStandardInput();
