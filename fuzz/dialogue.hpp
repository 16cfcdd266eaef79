// The in-process dialogue harness shared by the fuzzer and the replay program.
#pragma once

#include <cstddef>
#include <cstdint>

// Feeds the bytes to the command loop as its standard input, twice: once on the tables as the
// previous dialogue left them, and once more after every byte that a reset does not restore has
// been scrambled. Aborts with a note on standard error when the dialogue breaks one of the
// program's promises: exit status 0, "Press Enter" as the last output, every table counter
// within its capacity, one distinct name per stored line, stored lines that still tokenize
// together, and the same output whatever stale bytes the tables held before.
void runDialogue(const std::uint8_t* data, std::size_t size);
