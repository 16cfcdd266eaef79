// The message catalogue: every text the calculator shows, held as Windows-1251 bytes.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/utf8.hpp"
#include "text/windows1251.hpp"
#include "workspace/capacities.hpp"

// A NUL-terminated Windows-1251 message of at most 59 bytes.
struct Message {
  char text[kMessageBufferSize];
};

namespace message_encoding {

// Neither function is defined: reaching one while a message is built stops the compilation.
void messageIsLongerThan59Bytes();
void characterHasNoWindows1251Code();

// Builds a message from a UTF-8 literal, checking its length in Windows-1251 bytes and that
// each of its characters has a byte there.
consteval Message windows1251(std::string_view utf8) {
  Message message{};
  std::size_t length = 0;
  while (!utf8.empty()) {
    const std::size_t sequence = utf8LengthOfLead(utf8[0]);
    const unsigned char byte = windows1251Of(utf8CodeOf(utf8.substr(0, sequence)));
    if (byte == kWindows1251Placeholder) characterHasNoWindows1251Code();
    if (length + 1 >= kMessageBufferSize) messageIsLongerThan59Bytes();
    message.text[length++] = static_cast<char>(byte);
    utf8.remove_prefix(sequence);
  }
  return message;
}

}  // namespace message_encoding

using message_encoding::windows1251;

// Banner.
inline constexpr Message kBannerTitle = windows1251("Курсовая работа: программа - калькулятор");
inline constexpr Message kBannerSyntax =
    windows1251("Строка: имя=выражение без пробелов, задание - имя ?");
inline constexpr Message kBannerHint = windows1251("Введите выражение или команду, h - для помощи");

// Command loop.
inline constexpr Message kPrompt = windows1251("Готов: ");
inline constexpr Message kListEmpty = windows1251("Список пуст");
inline constexpr Message kListCleared = windows1251("Список очищен");
inline constexpr Message kWordTooLong =
    windows1251("Слишком длинное слово (больше 4096 байт) пропущено");
inline constexpr Message kListFull = windows1251("Список полон (20 строк), новое имя не принято");

// Help screen.
inline constexpr Message kHelpList = windows1251("(l)ist   - просмотреть список выражений");
inline constexpr Message kHelpClear = windows1251("(c)clear - очистить список выражений");
inline constexpr Message kHelpRun = windows1251("(r)un    - вычислить выражения");
inline constexpr Message kHelpQuit = windows1251("(q)uit   - выйти из программы");
inline constexpr Message kHelpTask =
    windows1251("Чтобы начать вычисление сразу, используйте знак '?'");
inline constexpr Message kHelpTaskName = windows1251("в качесте имени выражения");
inline constexpr Message kHelpExample =
    windows1251("Например: ?=(lg(23.67)/(23+45))*sin(0.12)-sqrt(10)*0.956^5");
inline constexpr Message kHelpRadians = windows1251("Все значения углов в радианах");

// Bracket check.
inline constexpr Message kBracketBalance = windows1251("Неправильный баланс скобок в строке ");

// Tokenizer.
inline constexpr Message kUnknownFunction = windows1251("Неизвестная функция - ");
inline constexpr Message kSyntaxError = windows1251("Ошибка синтаксиса в строке ");
inline constexpr Message kPosition = windows1251("Позиция ");
inline constexpr Message kCharacter = windows1251(", cимвол: ");
inline constexpr Message kIncompleteLine = windows1251("Ошибка - неполная строка");
inline constexpr Message kTooLongStream =
    windows1251("Слишком длинное выражение (50 байт) в строке ");
inline constexpr Message kTooManyNumbers = windows1251("Слишком много чисел (40) в строке ");
inline constexpr Message kTooManyDefinitions =
    windows1251("Слишком много выражений (30) в строке ");
inline constexpr Message kTooManyReferences =
    windows1251("Слишком много ссылок на имена (30) в строке ");

// Name resolution.
inline constexpr Message kUndefinedName = windows1251("Не определено выражение: ");
inline constexpr Message kComputingLine = windows1251("Считаю строку: ");
inline constexpr Message kNoTask = windows1251("Не определено задание");

// Evaluation and the run report.
inline constexpr Message kInternalError = windows1251("Внутренняя ошибка");
inline constexpr Message kCircularReference = windows1251("Циклическая ссылка на выражение: ");
inline constexpr Message kPoolExhausted =
    windows1251("Не хватает места для чисел (40) при расчёте");
inline constexpr Message kResultsHeader = windows1251("Результаты расчёта: ");
inline constexpr Message kNotComputed = windows1251("Значение не рассчитывалось");

// The limits that the capacity messages name.
static_assert(kMaxLines == 20 && kTokenBufferSize == 50 && kNumberPoolSize == 40 &&
                  kMaxDefinitions == 30 && kMaxReferences == 30 && kMaxWordBytes == 4096,
              "the capacity messages name these limits");
