// Tab completion of a typed line: the candidates for the word under the cursor.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct Completion {
  // Inserted at the cursor: what every candidate has beyond the text already typed.
  std::string insertion;
  // Every candidate, whole, in the order offered: commands or functions first, then names.
  std::vector<std::string> candidates;
};

// Completes the word that the cursor ends in `line`, given the stored lines 0..storedCount-1.
// At the start of a word: the long commands and the stored names followed by "=". Inside an
// expression (after "=", an operator or "("): the functions followed by "(" and the stored
// names other than "?". Right after "name=" with nothing after it, where name is stored: the
// stored expression of that line.
Completion completeWord(std::string_view line, std::size_t cursor, const std::string* storedLines,
                        int storedCount);
