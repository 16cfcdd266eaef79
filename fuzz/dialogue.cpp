// The in-process dialogue harness shared by the fuzzer and the replay program.
#include "dialogue.hpp"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <limits>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/command_loop.hpp"
#include "parse/tokenizer.hpp"
#include "standard_input.hpp"
#include "workspace/workspace.hpp"

namespace {

// Standard input served straight from the caller's bytes, without a copy; nothing writes to it.
class InputBytes : public std::streambuf {
 public:
  InputBytes(const std::uint8_t* data, std::size_t size) {
    char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
    setg(begin, begin, begin + size);
  }
};

// Standard output reduced to a hash of all its bytes and the last few of them.
class OutputDigest : public std::streambuf {
 public:
  std::uint64_t hash() const { return hash_; }
  bool endsWith(std::string_view text) const { return std::string_view(tail_).ends_with(text); }

 protected:
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    take(bytes, static_cast<std::size_t>(count));
    return count;
  }

  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      const char byte = traits_type::to_char_type(c);
      take(&byte, 1);
    }
    return traits_type::not_eof(c);
  }

 private:
  static constexpr std::size_t kKept = 32;

  // FNV-1a over every byte, and the last kKept bytes as they are.
  void take(const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      hash_ = (hash_ ^ static_cast<unsigned char>(bytes[i])) * 0x100000001B3u;
    }
    tail_.append(bytes, count);
    if (tail_.size() > kKept) tail_.erase(0, tail_.size() - kKept);
  }

  std::uint64_t hash_ = 0xCBF29CE484222325u;
  std::string tail_;
};

void require(bool kept, const char* promise) {
  if (kept) return;
  std::fprintf(stderr, "dialogue broke a promise: %s\n", promise);
  std::abort();
}

bool countersWithinTables() {
  for (int line = 0; line < kMaxLines; ++line) {
    if (lastToken[line] < kEmptyStream || lastToken[line] >= kTokenBufferSize) return false;
  }
  return lineCount <= kMaxLines && (lastNumber == kNoNumber || lastNumber < kNumberPoolSize) &&
         lastDefinition >= kNoEntry && lastDefinition < kMaxDefinitions &&
         lastReference >= kNoEntry && lastReference < kMaxReferences;
}

// At the prompt definition k belongs to line k, and no two stored lines define the same name.
bool definitionsMatchLines() {
  if (lastDefinition != lineCount - 1) return false;
  for (int k = 0; k < lineCount; ++k) {
    if (DefinitionTable[k].line != k) return false;
    for (int j = 0; j < k; ++j) {
      if (DefinitionTable[j].name == DefinitionTable[k].name) return false;
    }
  }
  return true;
}

// The definitions and references with their lines: a run changes none of them, so at the prompt
// they must be what tokenizing the stored lines afresh gives.
std::vector<std::pair<std::string, std::int32_t>> namesAndLines() {
  std::vector<std::pair<std::string, std::int32_t>> entries;
  for (int d = 0; d <= lastDefinition; ++d)
    entries.emplace_back(DefinitionTable[d].name, DefinitionTable[d].line);
  entries.emplace_back("", -2);  // between the two tables
  for (int r = 0; r <= lastReference; ++r)
    entries.emplace_back(ReferenceTable[r].name, ReferenceTable[r].line);
  return entries;
}

// Runs one dialogue and checks the state it ends in; returns the hash of its output.
std::uint64_t dialogueOutput(const std::uint8_t* data, std::size_t size) {
  InputBytes input(data, size);
  OutputDigest output;
  std::streambuf* const savedInput = std::cin.rdbuf(&input);
  std::streambuf* const savedOutput = std::cout.rdbuf(&output);
  std::cin.clear();

  const int status = commandLoop();
  require(status == 0, "the exit status is 0");
  require(output.endsWith("Press Enter"), "the last output is \"Press Enter\"");
  require(countersWithinTables(), "every table counter stays within its capacity");
  require(definitionsMatchLines(), "definition k belongs to stored line k, each name once");
  // Every stored line was accepted on top of the others, so together they fit the tables.
  const auto entries = namesAndLines();
  resetWorkspace();
  require(tokenizeAll(), "the stored lines tokenize together");
  require(countersWithinTables(), "every table counter stays within its capacity");
  require(namesAndLines() == entries, "the definitions and references are a rebuild's");

  std::cout.rdbuf(savedOutput);
  std::cin.rdbuf(savedInput);
  std::cin.clear();
  return output.hash();
}

// Overwrites everything that the command loop's reset leaves as it was (dead lines, stream
// bytes and their ends, pool values, names, bindings) with bytes that look like tokens, indexes
// and names, so that a read of a stale value changes the output.
void scrambleStaleTables(std::uint64_t seed) {
  static constexpr std::uint8_t kLookAlikes[] = {
      kNumberToken, kReferenceToken, kFunctionToken, '(', ')', '-', '^', kEndByte, 1, 19, 39, 0xFF};
  static const std::string kDeadLines[] = {"?=1", "z=(z)", "z=z"};
  static const std::string kNames[] = {"?", "z"};
  std::uint64_t state = seed | 1;
  const auto next = [&state](std::uint64_t bound) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state % bound;
  };
  for (int line = 0; line < kMaxLines; ++line) {
    LineTable[line] = kDeadLines[next(std::size(kDeadLines))];
    for (std::uint8_t& byte : TokenBuffer[line])
      byte = kLookAlikes[next(std::size(kLookAlikes))];
    lastToken[line] = static_cast<std::int32_t>(next(kTokenBufferSize + 1)) - 1;
  }
  for (float& value : NumberPool)
    value = std::numeric_limits<float>::quiet_NaN();
  for (int i = 0; i < kMaxDefinitions; ++i) {
    DefinitionTable[i].name = kNames[next(std::size(kNames))];
    DefinitionTable[i].line = static_cast<std::int32_t>(next(kMaxLines));
    DefinitionTable[i].computed = 1;
  }
  for (int i = 0; i < kMaxReferences; ++i) {
    ReferenceTable[i].name = kNames[next(std::size(kNames))];
    referenceTarget[i] = static_cast<std::uint8_t>(next(kMaxLines));
  }
  taskDefinition = static_cast<std::uint8_t>(next(kMaxDefinitions));
}

}  // namespace

void runDialogue(const std::uint8_t* data, std::size_t size) {
  // A fuzzer started from a terminal would otherwise wait for a key after every input.
  static const bool detached = (detachStandardInput(), true);
  (void)detached;

  const std::uint64_t onLeftOvers = dialogueOutput(data, size);
  scrambleStaleTables(onLeftOvers);
  require(dialogueOutput(data, size) == onLeftOvers,
          "the output does not depend on what the tables held before the dialogue");
}
