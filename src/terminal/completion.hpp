// Tab completion of a typed line: the candidates, what a Tab does with them, and their list.
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

// What a Tab does with its completion.
enum class TabStep {
  insert,  // puts the insertion in at the cursor
  ring,    // rings the bell: nothing to complete, or a first Tab on an ambiguous word
  list,    // lists the candidates: a second Tab where the first left the line and the cursor
  none,    // nothing: the word is whole
};

// The place of a Tab: the line's text and the cursor's position in it, as the editor holds them,
// told apart from every other line and position.
std::string tabPlace(std::string_view line, std::size_t cursor);

// The step of a Tab with `completion` at `place`. A first Tab on an ambiguous word remembers the
// place, where a second one lists.
TabStep tabStep(const Completion& completion, const std::string& place);

// After an insertion at `place`, the place it left: a second Tab there lists when the insertion
// left several candidates.
void tabInserted(const Completion& completion, const std::string& place);

// A new line: its first Tab rings, whatever the line holds.
void forgetTabPlace();

// The candidates in columns as wide as the widest and two blanks, as many to a row as `columns`
// hold (one at least), each row ended, after a line end that leaves the typed line.
std::string candidateList(const std::vector<std::string>& candidates, std::size_t columns);
