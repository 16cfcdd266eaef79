// The Windows-1251 code page, in which the calculator holds its texts: each byte's character.
#pragma once

// The byte that stands for a character Windows-1251 lacks: 0x98 has no character of its own
// and is shown as the replacement character.
inline constexpr unsigned char kWindows1251Placeholder = 0x98;

// Unicode of Windows-1251 bytes 0x80..0xBF. Bytes 0xC0..0xFF are the letters А..я.
inline constexpr char32_t kWindows1251UpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// The character of a Windows-1251 byte; every one is in Unicode's basic plane.
constexpr char32_t unicodeOfWindows1251(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  return kWindows1251UpperHalf[byte - 0x80];
}

// The Windows-1251 byte of a character, or the placeholder when the code page lacks it.
constexpr unsigned char windows1251Of(char32_t code) {
  if (code < 0x80) return static_cast<unsigned char>(code);
  if (code >= 0x0410 && code <= 0x044F) return static_cast<unsigned char>(0xC0 + (code - 0x0410));
  for (unsigned char k = 0; k < 64; ++k) {
    if (kWindows1251UpperHalf[k] == code) return static_cast<unsigned char>(0x80 + k);
  }
  return kWindows1251Placeholder;
}
