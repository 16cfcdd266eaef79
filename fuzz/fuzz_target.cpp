// The libFuzzer entry point: every input is standard input of one whole dialogue.
#include <cstddef>
#include <cstdint>

#include "dialogue.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  runDialogue(data, size);
  return 0;
}
