// UTF-8 text: which bytes make one character, its code point, its bytes, and columns.
#pragma once

#include <cstddef>
#include <string_view>

constexpr bool isByteIn(char c, unsigned low, unsigned high) {
  const unsigned byte = static_cast<unsigned char>(c);
  return byte >= low && byte <= high;
}

// How many bytes the sequence that begins with `lead` has: 1 for an ASCII byte, 2 to 4 for a
// lead byte, 0 for a byte that begins no well-formed sequence (a continuation byte, C0, C1,
// F5 to FF).
constexpr std::size_t utf8LengthOfLead(char lead) {
  if (isByteIn(lead, 0x00, 0x7F)) return 1;
  if (isByteIn(lead, 0xC2, 0xDF)) return 2;
  if (isByteIn(lead, 0xE0, 0xEF)) return 3;
  if (isByteIn(lead, 0xF0, 0xF4)) return 4;
  return 0;
}

// Whether `next` may follow `begun`, the first bytes of a sequence that its lead byte has not
// yet completed: a continuation byte, whose range after the lead byte depends on that byte, as
// the Unicode standard's table of well-formed sequences gives it (no overlong form, no
// surrogate, nothing past U+10FFFF).
constexpr bool utf8MayContinue(std::string_view begun, char next) {
  unsigned low = 0x80;
  unsigned high = 0xBF;
  if (begun.size() == 1) {
    if (begun[0] == '\xE0') low = 0xA0;
    if (begun[0] == '\xED') high = 0x9F;
    if (begun[0] == '\xF0') low = 0x90;
    if (begun[0] == '\xF4') high = 0x8F;
  }
  return isByteIn(next, low, high);
}

// The length of the well-formed sequence of 2 to 4 bytes at the start of `text`, or 0 when
// none starts there: an ASCII byte, a byte that begins no sequence, or a sequence that is cut
// short or broken by a byte that cannot continue it.
constexpr std::size_t utf8SequenceLength(std::string_view text) {
  const std::size_t length = text.empty() ? 0 : utf8LengthOfLead(text[0]);
  if (length < 2 || text.size() < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if (!utf8MayContinue(text.substr(0, k), text[k])) return 0;
  }
  return length;
}

// The code point of a well-formed sequence (an ASCII byte included).
constexpr char32_t utf8CodeOf(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) return lead;
  char32_t code = lead & (0x7F >> sequence.size());
  for (const char c : sequence.substr(1))
    code = (code << 6) | (static_cast<unsigned char>(c) & 0x3F);
  return code;
}

// The UTF-8 bytes of a code point.
struct Utf8Bytes {
  char bytes[4];
  std::size_t length;
};

constexpr Utf8Bytes utf8BytesOf(char32_t code) {
  const auto byte = [](char32_t value) { return static_cast<char>(value); };
  if (code < 0x80) return {{byte(code)}, 1};
  if (code < 0x800) return {{byte(0xC0 | code >> 6), byte(0x80 | (code & 0x3F))}, 2};
  if (code < 0x10000) {
    return {{byte(0xE0 | code >> 12), byte(0x80 | (code >> 6 & 0x3F)), byte(0x80 | (code & 0x3F))},
            3};
  }
  return {{byte(0xF0 | code >> 18), byte(0x80 | (code >> 12 & 0x3F)),
           byte(0x80 | (code >> 6 & 0x3F)), byte(0x80 | (code & 0x3F))},
          4};
}

// The columns that well-formed UTF-8 text takes at a terminal: one for each character, that is
// for each byte other than a continuation byte. Every character the calculator writes is one
// column wide.
constexpr std::size_t utf8Columns(std::string_view text) {
  std::size_t columns = 0;
  for (const char c : text)
    columns += !isByteIn(c, 0x80, 0xBF);
  return columns;
}

// The byte at which column `column` of well-formed UTF-8 text starts, or the text's size when the
// text takes no more columns.
constexpr std::size_t utf8ByteOfColumn(std::string_view text, std::size_t column) {
  std::size_t at = 0;
  for (; at < text.size(); ++at) {
    if (!isByteIn(text[at], 0x80, 0xBF) && column-- == 0) break;
  }
  return at;
}
