// The bracket balance check: every "(" of a stored line needs its ")", in order.
#include "parse/brackets.hpp"

#include <string>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "workspace/workspace.hpp"

namespace {

// Whether the depth, one up at "(" and one down at ")", never falls below zero and ends at zero.
bool balanced(const std::string& text) {
  int depth = 0;
  for (const char c : text) {
    if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth < 0) {
      return false;
    }
  }
  return depth == 0;
}

}  // namespace

bool checkBrackets() {
  for (int line = 0; line < lineCount; ++line) {
    if (!balanced(LineTable[line])) {
      reportStoredLine(kBracketBalance, line);
      return false;
    }
  }
  return true;
}
