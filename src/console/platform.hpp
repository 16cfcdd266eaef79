// The platform layer: code-page conversion of messages and the final key read.
#pragma once

#include <cstddef>

#include "workspace/capacities.hpp"

#if defined(_WIN32)
// The OEM code page takes one byte per character, as Windows-1251 does.
inline constexpr std::size_t kConvertedMessageSize = kMessageBufferSize;
#else
// UTF-8 takes up to three bytes for a Windows-1251 character.
inline constexpr std::size_t kConvertedMessageSize = (kMessageBufferSize - 1) * 3 + 1;
#endif

// Converts a NUL-terminated Windows-1251 message into the console's encoding, terminator
// included; `converted` holds kConvertedMessageSize bytes.
void convertMessage(const char* message, char* converted);

// Waits for one key, without echo, and ignores it.
void waitForKey();
