// UTF-8 text: how many bytes of it make one character.
#pragma once

#include <cstddef>
#include <string_view>

constexpr bool isByteIn(char c, unsigned low, unsigned high) {
  const unsigned byte = static_cast<unsigned char>(c);
  return byte >= low && byte <= high;
}

// The length of the well-formed UTF-8 sequence of 2 to 4 bytes at the start of `text`, or 0
// when none starts there: an ASCII byte, a continuation byte, a byte that begins no sequence,
// a sequence cut short by the end of the text, an overlong form, a surrogate or a code point
// past U+10FFFF. The second byte's range depends on the first, as the Unicode standard's table
// of well-formed sequences gives it.
constexpr std::size_t utf8SequenceLength(std::string_view text) {
  if (text.size() < 2) return 0;
  const char lead = text[0];
  std::size_t length = 0;
  unsigned secondLow = 0x80;
  unsigned secondHigh = 0xBF;
  if (isByteIn(lead, 0xC2, 0xDF)) {
    length = 2;
  } else if (isByteIn(lead, 0xE0, 0xEF)) {
    length = 3;
    if (lead == '\xE0') secondLow = 0xA0;   // shorter forms are overlong
    if (lead == '\xED') secondHigh = 0x9F;  // the surrogates
  } else if (isByteIn(lead, 0xF0, 0xF4)) {
    length = 4;
    if (lead == '\xF0') secondLow = 0x90;   // shorter forms are overlong
    if (lead == '\xF4') secondHigh = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length || !isByteIn(text[1], secondLow, secondHigh)) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (!isByteIn(text[k], 0x80, 0xBF)) return 0;
  }
  return length;
}
