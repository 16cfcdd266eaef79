// The input-and-output floor: replays the calculator's recorded answers, computing nothing.
//
// Usage: baseline REPLIES < words
// REPLIES holds the calculator's output for the same input, cut at every prompt and joined
// with NUL bytes: first the banner, then the answer to each word, then the closing text. The
// program reads the words as the calculator does (formatted string extraction from std::cin,
// which is tied to std::cout), writes the prompt before each read and each recorded answer
// after it, and flushes at every line end, so its reads, writes and flushes are the
// calculator's.
#include <fstream>
#include <iostream>
#include <string>

namespace {

// The prompt "Готов: " as the calculator writes it on a UTF-8 console.
constexpr char kPrompt[] = "\xD0\x93\xD0\xBE\xD1\x82\xD0\xBE\xD0\xB2: ";

// Writes one recorded answer, flushing after every line feed as the calculator's line end does.
void writeAnswer(const std::string& answer) {
  std::string::size_type begin = 0;
  while (begin < answer.size()) {
    const auto lineFeed = answer.find('\n', begin);
    const auto end = lineFeed == std::string::npos ? answer.size() : lineFeed + 1;
    std::cout.write(answer.data() + begin, static_cast<std::streamsize>(end - begin));
    if (lineFeed != std::string::npos) std::cout.flush();
    begin = end;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: baseline REPLIES < words\n";
    return 2;
  }
  std::ifstream replies(argv[1], std::ios::binary);
  if (!replies) {
    std::cerr << "baseline: cannot open " << argv[1] << "\n";
    return 2;
  }
  std::string answer;
  std::string word;
  std::getline(replies, answer, '\0');
  writeAnswer(answer);
  while (true) {
    std::cout << kPrompt;
    if (!(std::cin >> word) || word == "q" || word == "quit") break;
    std::getline(replies, answer, '\0');
    writeAnswer(answer);
  }
  std::getline(replies, answer, '\0');
  writeAnswer(answer);
  // The calculator's closing text has no line end; it is flushed before the final key read.
  std::cout.flush();
  std::cin.get();
  return 0;
}
