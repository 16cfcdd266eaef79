// Control characters made visible in caret notation, as cat -v, less and bash show them.
#pragma once

#include <cstddef>
#include <string_view>

// How the character at the start of a text is shown visibly: the notation and how many bytes of
// the text it stands for, or no notation (0 bytes) for a character shown as it is.
struct CaretNotation {
  char text[4];
  std::size_t size;
  std::size_t bytes;
};

// C0 controls are "^@" to "^_", DEL is "^?", and in UTF-8 text the C1 controls U+0080 to U+009F
// (the bytes C2 80 to C2 9F) are "M-^@" to "M-^_", the meta form of the C0 control 0x80 below.
constexpr CaretNotation caretNotationAt(std::string_view text, bool utf8) {
  const auto byte = static_cast<unsigned char>(text[0]);
  if (byte < 0x20) return {{'^', static_cast<char>(byte + 0x40)}, 2, 1};
  if (byte == 0x7F) return {{'^', '?'}, 2, 1};
  if (utf8 && byte == 0xC2 && text.size() > 1) {
    const auto next = static_cast<unsigned char>(text[1]);
    if (next >= 0x80 && next <= 0x9F)
      return {{'M', '-', '^', static_cast<char>(next - 0x40)}, 4, 2};
  }
  return {{}, 0, 0};
}
