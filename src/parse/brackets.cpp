// The bracket balance check: every "(" of a stored line needs its ")", in order.
#include "parse/brackets.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

#include "console/messages.hpp"
#include "console/output.hpp"
#include "workspace/workspace.hpp"

namespace {

// How a character changes the bracket depth.
constexpr auto kDepthChange = [] {
  std::array<std::int8_t, 256> table{};
  table['('] = 1;
  table[')'] = -1;
  return table;
}();

// Whether every "(" of the text has its ")" after it and every ")" a "(" before it: the depth
// never falls below zero and ends at zero. The loop has no branch on the character, whose
// brackets stand where they happen to.
bool balanced(const std::string& text) {
  std::int32_t depth = 0;
  std::int32_t lowest = 0;
  for (const char c : text) {
    depth += kDepthChange[static_cast<unsigned char>(c)];
    lowest = std::min(lowest, depth);
  }
  return depth == 0 && lowest == 0;
}

}  // namespace

bool checkBrackets() {
  for (int line = 0; line < lineCount; ++line) {
    if (!balanced(LineTable[line])) {
      printLineReport(kBracketBalance.text, line);
      return false;
    }
  }
  return true;
}
