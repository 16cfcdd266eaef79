// Replays saved fuzzer inputs and transcript inputs as whole dialogues, without libFuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "dialogue.hpp"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> readBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The files named, and the regular files inside the directories named, in name order.
std::vector<fs::path> inputsNamed(int count, char** names) {
  std::vector<fs::path> inputs;
  for (int i = 0; i < count; ++i) {
    const fs::path named(names[i]);
    if (!fs::is_directory(named)) {
      inputs.push_back(named);
      continue;
    }
    std::vector<fs::path> inside;
    for (const fs::directory_entry& entry : fs::directory_iterator(named)) {
      if (entry.is_regular_file()) inside.push_back(entry.path());
    }
    std::sort(inside.begin(), inside.end());
    inputs.insert(inputs.end(), inside.begin(), inside.end());
  }
  return inputs;
}

}  // namespace

// Usage: replay_dialogues FILE|DIRECTORY...; fails when a named file cannot be read, when
// nothing was replayed, and (by aborting) when a dialogue breaks a promise.
int main(int argc, char** argv) {
  const std::vector<fs::path> inputs = inputsNamed(argc - 1, argv + 1);
  for (const fs::path& input : inputs) {
    if (!fs::is_regular_file(input)) {
      std::fprintf(stderr, "not a readable file: %s\n", input.c_str());
      return 1;
    }
    const std::vector<std::uint8_t> bytes = readBytes(input);
    runDialogue(bytes.data(), bytes.size());
  }
  std::printf("replayed %zu dialogues\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
