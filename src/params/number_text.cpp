#include "params/number_text.h"

#include <charconv>
#include <system_error>

namespace {

std::string formatted(double value, std::chars_format format, int precision) {
  // Enough for any double in fixed notation (309 digits) at the precisions used here.
  char buffer[512];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

}  // namespace

std::string scientificText(double value, int precision) {
  return formatted(value, std::chars_format::scientific, precision);
}

std::string fixedText(double value, int precision) {
  return formatted(value, std::chars_format::fixed, precision);
}

std::string generalText(double value, int precision) {
  return formatted(value, std::chars_format::general, precision);
}
