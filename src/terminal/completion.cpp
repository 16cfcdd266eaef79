// Tab completion of a typed line: the candidates, what a Tab does with them, and their list.
#include "terminal/completion.hpp"

#include <algorithm>

#include "text/characters.hpp"

namespace {

// Where the last Tab left the line and the cursor with several candidates, or nothing.
std::string ambiguousPlace;

// The characters after which an operand starts.
bool startsOperand(char c) {
  return c == '=' || isIn(c, kOperator | kOpeningBracket);
}

// A stored line's name: its text before the first "=".
std::string_view nameOf(const std::string& storedLine) {
  return std::string_view(storedLine).substr(0, storedLine.find('='));
}

void offer(Completion& completion, std::string_view typed, std::string_view candidate,
           std::string_view ending) {
  if (candidate.substr(0, typed.size()) != typed) return;
  std::string whole(candidate);
  whole += ending;
  completion.candidates.push_back(std::move(whole));
}

// The part that every candidate shares beyond the `typed` characters.
std::string sharedRest(const std::vector<std::string>& candidates, std::size_t typed) {
  if (candidates.empty()) return {};
  std::size_t shared = candidates[0].size();
  for (const std::string& candidate : candidates) {
    std::size_t same = 0;
    while (same < shared && same < candidate.size() && candidate[same] == candidates[0][same])
      ++same;
    shared = same;
  }
  return shared > typed ? candidates[0].substr(typed, shared - typed) : std::string();
}

// word -> head: a command, or a stored name followed by "=".
Completion completeHead(std::string_view typed, const CompletionWords& words) {
  Completion completion;
  for (std::string_view command : words.commands)
    offer(completion, typed, command, "");
  for (const std::string& storedLine : words.storedLines)
    offer(completion, typed, nameOf(storedLine), "=");
  completion.insertion = sharedRest(completion.candidates, typed.size());
  return completion;
}

// operand -> function "(" | name, for the name characters that end the typed part.
Completion completeOperand(std::string_view typed, const CompletionWords& words) {
  std::size_t start = typed.size();
  while (start > 0 && continuesName(typed[start - 1]))
    --start;
  const std::string_view partial = typed.substr(start);
  // An operand starts after "=", an operator or "(". A number there matches no name or function.
  if (start == 0 || !startsOperand(typed[start - 1])) return {};
  Completion completion;
  for (const std::string& function : words.functions)
    offer(completion, partial, function, "(");
  for (const std::string& storedLine : words.storedLines) {
    if (nameOf(storedLine) != kTaskName) offer(completion, partial, nameOf(storedLine), "");
  }
  completion.insertion = sharedRest(completion.candidates, partial.size());
  return completion;
}

// "name=" of a stored line with nothing after it: that line's expression, to be edited.
bool storedExpression(std::string_view typed, const CompletionWords& words,
                      Completion& completion) {
  if (!typed.ends_with('=')) return false;
  const std::string_view name = typed.substr(0, typed.size() - 1);
  for (const std::string& storedLine : words.storedLines) {
    if (nameOf(storedLine) != name) continue;
    completion.insertion = storedLine.substr(name.size() + 1);
    completion.candidates.push_back(completion.insertion);
    return true;
  }
  return false;
}

}  // namespace

Completion completeWord(std::string_view line, std::size_t cursor, const CompletionWords& words) {
  std::size_t start = cursor;
  while (start > 0 && !isWhiteSpace(line[start - 1]))
    --start;
  const std::string_view typed = line.substr(start, cursor - start);
  if (typed.find('=') == std::string_view::npos) return completeHead(typed, words);
  const bool wordEndsHere = cursor == line.size() || isWhiteSpace(line[cursor]);
  Completion completion;
  if (wordEndsHere && storedExpression(typed, words, completion)) return completion;
  return completeOperand(typed, words);
}

std::string tabPlace(std::string_view line, std::size_t cursor) {
  std::string place(line);
  place += '\0';
  place += std::to_string(cursor);
  return place;
}

TabStep tabStep(const Completion& completion, const std::string& place) {
  if (completion.candidates.empty()) return TabStep::ring;
  if (!completion.insertion.empty()) return TabStep::insert;
  if (completion.candidates.size() == 1) return TabStep::none;
  if (place == ambiguousPlace) return TabStep::list;
  ambiguousPlace = place;
  return TabStep::ring;
}

void tabInserted(const Completion& completion, const std::string& place) {
  ambiguousPlace = completion.candidates.size() > 1 ? place : std::string();
}

void forgetTabPlace() {
  ambiguousPlace.clear();
}

std::string candidateList(const std::vector<std::string>& candidates, std::size_t columns) {
  std::size_t widest = 0;
  for (const std::string& candidate : candidates)
    widest = std::max(widest, candidate.size());
  const std::size_t perRow = std::max<std::size_t>(1, columns / (widest + 2));
  std::string list = "\n";
  for (std::size_t k = 0; k < candidates.size(); ++k) {
    list += candidates[k];
    const bool rowEnds = (k + 1) % perRow == 0 || k + 1 == candidates.size();
    list.append(rowEnds ? std::size_t{0} : widest + 2 - candidates[k].size(), ' ');
    if (rowEnds) list += '\n';
  }
  return list;
}
