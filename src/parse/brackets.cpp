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
  const auto change = [&text](std::size_t i) {
    return kDepthChange[static_cast<unsigned char>(text[i])];
  };
  std::int32_t depth = 0;
  std::int32_t lowest = 0;
  std::size_t i = 0;
  // Two characters a turn: the lower of their two depths meets the lowest once.
  for (; i + 1 < text.size(); i += 2) {
    const std::int32_t first = depth + change(i);
    depth = first + change(i + 1);
    lowest = std::min(lowest, std::min(first, depth));
  }
  if (i < text.size()) {
    depth += change(i);
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
