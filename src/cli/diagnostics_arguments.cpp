#include "cli/diagnostics_arguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// A whole number made of digits only, within [low, high].
bool wholeNumber(std::string_view text, unsigned long long low, unsigned long long high,
                 unsigned long long& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low &&
         value <= high;
}

constexpr unsigned long long kMostItems = 1'000'000'000ULL;

}  // namespace

std::string parseItemList(const std::string& text, std::vector<long long>& items) {
  const std::string bad = "--exclude takes item numbers and ranges such as 3,17,20-22, not '";
  if (text.empty()) return "--exclude needs item numbers, such as 3,17,20-22";
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view part(text.data() + start, comma - start);
    const std::size_t dash = part.find('-');
    unsigned long long first = 0, last = 0;
    const bool ok = dash == std::string_view::npos
                        ? wholeNumber(part, 1, kMostItems, first) && (last = first, true)
                        : wholeNumber(part.substr(0, dash), 1, kMostItems, first) &&
                              wholeNumber(part.substr(dash + 1), first, kMostItems, last);
    if (!ok) return bad + std::string(part) + "' (in '" + text + "')";
    if (last - first >= 1'000'000ULL) return "--exclude: the range '" + std::string(part) + "' is too long";
    for (unsigned long long item = first; item <= last; ++item) {
      items.push_back(static_cast<long long>(item));
    }
    start = comma + 1;
  }
  std::sort(items.begin(), items.end());
  items.erase(std::unique(items.begin(), items.end()), items.end());
  return {};
}

std::string parseErrorsMethod(const std::string& text, DiagnosticsOptions& options) {
  if (text == "jackknife") {
    options.errors = DiagnosticsOptions::Errors::Jackknife;
    return {};
  }
  const std::string bootstrap = "bootstrap";
  if (text.compare(0, bootstrap.size(), bootstrap) == 0) {
    const std::string rest = text.substr(bootstrap.size());
    unsigned long long count = 200;
    if (rest.empty() || (rest[0] == ':' && wholeNumber(rest.substr(1), 2, 1'000'000, count))) {
      options.errors = DiagnosticsOptions::Errors::Bootstrap;
      options.bootstrapReplications = static_cast<int>(count);
      return {};
    }
  }
  return "--se takes jackknife, bootstrap or bootstrap:B (B replications, 2 to 1000000), not '" +
         text + "'";
}

std::string parseSeed(const std::string& text, unsigned long long& seed) {
  if (wholeNumber(text, 0, ~0ULL, seed)) return {};
  return "--seed takes a whole number from 0 to 18446744073709551615, not '" + text + "'";
}

std::string parseDriftCutoff(const std::string& text, double& cutoff) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (!text.empty() && error == std::errc() && end == text.data() + text.size() &&
      std::isfinite(value) && value >= 0.0 && value <= 1.0) {
    cutoff = value;
    return {};
  }
  return "--drift-cutoff takes a number from 0 to 1 (a difference of response probability), "
         "not '" + text + "'";
}
