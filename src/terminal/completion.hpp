// Tab completion of a typed line: the candidates for the word under the cursor.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct Completion {
  // Inserted at the cursor: what every candidate has beyond the text already typed.
  std::string insertion;
  // Every candidate, whole, in the order offered: commands or functions first, then names.
  std::vector<std::string> candidates;
};

// What a word can be completed to: the command words, the function names and the stored
// lines ("name=expression"), as the dialogue holds them at the time.
struct CompletionWords {
  std::span<const std::string_view> commands;
  std::span<const std::string> functions;
  std::span<const std::string> storedLines;
};

// Gives the words to complete from at the moment of a Tab.
using WordsToComplete = CompletionWords (*)();

// Completes the word that the cursor ends in `line`. At the start of a word: the commands and
// the stored names followed by "=". Inside an expression (after "=", an operator or "("): the
// functions followed by "(" and the stored names other than "?". Right after "name=" with
// nothing after it, where name is stored: the stored expression of that line.
Completion completeWord(std::string_view line, std::size_t cursor, const CompletionWords& words);
