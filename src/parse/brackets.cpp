// The bracket balance check: every "(" of a stored line needs its ")", in order.
#include "parse/brackets.hpp"

#include <cstdint>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "workspace/workspace.hpp"

namespace {

// The depth at the end of the text, or -1 as soon as a ")" has no "(" before it.
std::int32_t bracketDepth(const std::string& text) {
  std::int32_t depth = 0;
  for (const char c : text) {
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth < 0) break;
  }
  return depth;
}

}  // namespace

bool checkBrackets() {
  for (int line = 0; line < lineCount; ++line) {
    if (bracketDepth(LineTable[line]) != 0) {
      printLineReport(kBracketBalance.text, line);
      return false;
    }
  }
  return true;
}
