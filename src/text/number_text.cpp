// Number text through the standard library's conversions, which need no locale.
#include "text/number_text.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

float numberValue(std::string_view text) {
  double value = 0;
  const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
  if (read.ec == std::errc::result_out_of_range) {
    // A number with a nonzero digit before the point is at least 1 and can only overflow.
    const std::string_view whole = text.substr(0, text.find('.'));
    const bool large = whole.find_first_not_of('0') != std::string_view::npos;
    return large ? std::numeric_limits<float>::infinity() : 0.0f;
  }
  return static_cast<float>(value);
}

std::string_view valueText(float value, char (&text)[kValueTextSize]) {
  if (std::isnan(value)) return "nan";
  // With the general format and a precision, the text is specified to be printf's.
  const auto written =
      std::to_chars(text, text + kValueTextSize, value, std::chars_format::general, 6);
  return {text, static_cast<std::size_t>(written.ptr - text)};
}
