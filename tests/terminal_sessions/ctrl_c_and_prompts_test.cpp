// The prompt for each word awaited, and Ctrl+C, which drops the line being typed and asks for
// the word again, with the line editor and without it.
#include "terminal_sessions/pseudo_terminal.hpp"

#include <numeric>

namespace {

using EitherReader = Table<NamedStart>;

// The rows of `text` as the terminal shows them: in each a return, or a CSI n G, goes to a
// column, a backspace back one, and a character overwrites what stood there.
std::vector<std::string> shownRows(const std::string& text) {
  std::vector<std::string> rows, cells;
  std::size_t column = 0;
  for (std::size_t at = 0; at <= text.size(); ++at) {
    const char byte = at < text.size() ? text[at] : '\n';
    if (byte == '\n') {
      rows.push_back(std::accumulate(cells.begin(), cells.end(), std::string()));
      cells.clear();
    } else if (byte == '\r' || byte == '\b') {
      column = byte == '\r' || column == 0 ? 0 : column - 1;
    } else if (text.compare(at, 2, "\x1b[") == 0) {
      char* end = nullptr;
      column = std::max(1ul, std::strtoul(&text[at + 2], &end, 10)) - 1;
      if (*end != 'G') return {"a control sequence the model lacks: " + text.substr(at)};
      at = static_cast<std::size_t>(end - text.data());
    } else if ((byte & 0xC0) == 0x80) {
      cells[column - 1] += byte;  // a further byte of the character before
    } else {
      cells.resize(std::max(cells.size(), column + 1));
      cells[column++] = byte;
    }
  }
  return rows;
}

}  // namespace

// Each word is asked for with one prompt, written before the editor reads its line (which it then
// draws from the row's start, prompts and all). Ctrl+C drops the line, as the terminal's line
// editing would, shown to its end with "^C" wherever the cursor stood. After it, Enter or blanks
// the word is asked for again with one prompt on a new row; the program and stored lines stay.
TEST_P(EitherReader, EachWordIsAskedForAgainAfterCtrlCAndEmptyLines) {
  const std::string again = keysRaw_ ? kEditorPrompt : "";  // the editor's drawing
  const std::string twoPrompts = kPrompt + kPrompt;
  typeAfter("h - для помощи\r\n" + kPrompt + again, "a=1\n");
  typeAfter("a=1\r\n" + kPrompt + again, "a=1  b=2 ?=a+b\n");
  ASSERT_TRUE(next("a=1  b=2 ?=a+b\r\n" + twoPrompts + "Считаю строку: ?=a+b\r\n")) << screen_;
  typeAfter("? = 3\r\n" + kPrompt + again, "c=1 d=2\n");
  ASSERT_TRUE(awaitLine("c=1 d=2\r\n" + twoPrompts + (keysRaw_ ? "\r" + twoPrompts : "")))
      << screen_;
  const std::size_t rowStart = screen_.rfind('\n', matched_) + 1;
  type("a=7 ?=b+", "?=b+");                   // typed and shown before Ctrl+C flushes the input
  if (keysRaw_) type(kLeft + kLeft, "\b\b");  // the cursor on the "b"
  for (const std::string& keys : {kCtrlC, kCtrlC, std::string("\n"), std::string("  \n")}) {
    type(keys);
    ASSERT_TRUE(awaitLine()) << screen_;
  }
  const std::vector<std::string> rows = {twoPrompts + "a=7 ?=b+^C", kPrompt + "^C", kPrompt,
                                         kPrompt + "  ", kPrompt};
  EXPECT_EQ(shownRows(screen_.substr(rowStart)), rows) << screen_;
  EXPECT_TRUE(stillRunning());
  type("?=a\n", "? = 1\r\n");
  quit();
}

const NamedStart kReaders[] = {{"Plain", kDumb}, {"Editor", kXterm}};
INSTANTIATE_TEST_SUITE_P(Readers, EitherReader, ::testing::ValuesIn(kReaders), rowName<NamedStart>);
