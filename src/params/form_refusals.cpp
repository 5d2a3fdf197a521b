#include "params/form_refusals.h"

#include <algorithm>
#include <cctype>

Refusal blankRefusal(const std::string& what, const std::string& text) {
  const bool blank =
      std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
  if (!blank) return std::nullopt;
  return formMessage(what +
                     " can't contain blanks or tabs (a parameter file separates its values "
                     "by them):\n" +
                     text);
}
