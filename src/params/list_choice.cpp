#include "params/list_choice.h"

#include "params/choice_list.h"
#include "params/token_reader.h"

namespace {

const std::string kEmpty;

}  // namespace

const std::string& ListChoice::text() const { return hasSelection() ? entries[selected] : kEmpty; }

std::string ListChoice::value() const {
  return rule == ListRule::Code ? entryCode(text()) : text();
}

void ListChoice::selectValue(const std::string& value) {
  const int found = findEntry(entries, value, rule == ListRule::Code);
  if (found >= 0) {
    selected = found;
    return;
  }
  int number = -1;
  const bool grid = rule == ListRule::GridPoints && !entries.empty();
  if (grid && parseIntToken(value, number) && number == 0) {
    selected = static_cast<int>(entries.size()) - 1;
    return;
  }
  // The zero choice stays last, so that "last entry" keeps meaning the empirical theta file.
  selected = static_cast<int>(entries.size()) - (grid ? 1 : 0);
  entries.insert(entries.begin() + selected, value);
}

ListChoice listOf(const std::vector<std::string>& entries, ListRule rule) {
  return {entries, entries.empty() ? -1 : 0, rule};
}

int findEntry(const std::vector<std::string>& entries, const std::string& value, bool byCode) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (tokenIsKey(byCode ? entryCode(entries[i]) : entries[i], value)) return static_cast<int>(i);
  }
  return -1;
}

std::string listValueProblem(ListRule rule, const std::string& value) {
  int whole = 0;
  double number = 0.0;
  switch (rule) {
    case ListRule::Any:
      return {};
    case ListRule::Dimension:
      if (parseIntToken(value, whole) && whole >= 1 && whole <= 25) return {};
      return "the dimension must be a whole number from 1 to 25";
    case ListRule::GridPoints:
      if (parseIntToken(value, whole) && whole >= 0) return {};
      return "the number of grid points must be a whole number, at least 0 (0: integrate over "
             "the empirical theta file)";
    case ListRule::Range:
      if (parseDoubleToken(value, number)) return {};
      return "a grid range end must be a decimal number";
    case ListRule::Code:
      if (parseIntToken(entryCode(value), whole)) return {};
      return "the code must be a whole number";
  }
  return {};
}
