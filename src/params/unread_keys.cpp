#include "params/unread_keys.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "params/linking_settings.h"
#include "params/settings_keys.h"
#include "params/token_reader.h"

namespace {

constexpr std::string_view kDataFiles = "$Data_Files";

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool isKnownKey(const std::string& word) {
  for (std::string_view key : settingsKeyNames()) {
    if (tokenIsKey(word, key)) return true;
  }
  return false;
}

// The known key (or "$Data_Files") nearest to word, when it is near enough to be the one meant.
std::optional<std::string> nearestKey(const std::string& word) {
  std::vector<std::string_view> candidates = settingsKeyNames();
  candidates.push_back(kDataFiles);
  std::optional<std::string> best;
  int bestDistance = 0;
  for (std::string_view key : candidates) {
    const int distance = keyDistance(word, std::string(key));
    const int allowed = key.size() > 12 ? 3 : 2;
    if (distance <= allowed && (!best || distance < bestDistance)) {
      best = std::string(key);
      bestDistance = distance;
    }
  }
  return best;
}

bool isEntryNumber(const std::string& word) {
  return word.size() > 1 && word.back() == '=' &&
         std::all_of(word.begin(), word.end() - 1,
                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

UnreadKey classify(const std::string& word, int line, const std::string& previous) {
  UnreadKey unread;
  unread.line = line;
  unread.word = word;
  if (word == "=") {
    if (isKnownKey(previous + "=")) {
      unread.kind = UnreadKey::LoneEquals;
      if (auto key = nearestKey(previous + "=")) unread.suggestion = *key;
    }
    return unread;
  }
  if (isEntryNumber(word)) {
    unread.kind = UnreadKey::EntryNumber;
    return unread;
  }
  const auto equals = word.find('=');
  if (equals + 1 < word.size()) {
    // A key and its value written as one word.
    if (auto key = nearestKey(word.substr(0, equals + 1))) {
      unread.kind = UnreadKey::ValueJoined;
      unread.suggestion = *key + " " + word.substr(equals + 1);
    }
    return unread;
  }
  if (auto key = nearestKey(word)) {
    unread.kind = UnreadKey::Misspelt;
    unread.suggestion = *key;
  }
  return unread;
}

}  // namespace

int keyDistance(const std::string& a, const std::string& b) {
  const std::size_t n = a.size(), m = b.size();
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1, 0));
  for (std::size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
  for (std::size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      const int cost = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) &&
          lower(a[i - 2]) == lower(b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[n][m];
}

std::vector<UnreadKey> findUnreadKeys(std::istream& in) {
  std::vector<UnreadKey> found;
  TokenReader reader(in);
  LinkingSettings seen;  // tracks Number_Of_Grid as the readers do, for the entries' length
  std::string word, previous;
  std::optional<std::string> pending;  // a word read ahead that belongs to no entry
  auto next = [&](std::string& token) {
    if (pending) {
      token = std::move(*pending);
      pending.reset();
      return true;
    }
    return reader.next(token);
  };
  while (next(word)) {
    const int line = reader.line();
    if (isDataFilesToken(word)) {
      // The entry number, the From and To names and, on no grid, the empirical name.
      std::string skipped;
      const int names = seen.Number_Of_Grid == 0 ? 3 : 2;
      for (int k = 0; k <= names && reader.next(skipped); ++k) {
        if (k == 3 && startsEntryOrSection(skipped)) {
          pending = skipped;
          break;
        }
        if (k == 3) seen.empiricalFile.name = skipped;
      }
      previous = word;
      continue;
    }
    const KeyOutcome outcome = applySettingsKey(word, reader, seen);
    if (outcome.kind == KeyOutcome::NotAKey && word.find('=') != std::string::npos) {
      found.push_back(classify(word, line, previous));
    }
    previous = word;
  }
  return found;
}

std::string describeUnreadKey(const UnreadKey& unread) {
  std::string text = "line " + std::to_string(unread.line) + ": '" + unread.word + "' ";
  switch (unread.kind) {
    case UnreadKey::Misspelt:
      return text + "is not a key that is read; did you mean '" + unread.suggestion + "'?";
    case UnreadKey::ValueJoined:
      return text + "is not read: a key ends at its '=' and its value is the next word; write '" +
             unread.suggestion + "'";
    case UnreadKey::LoneEquals:
      return text + "stands alone and is not read: write the key with its '=' as one word, '" +
             unread.suggestion + "', and the value after a blank";
    case UnreadKey::EntryNumber:
      return text + "is an entry number without \"$Data_Files\" before it; the entry is not read";
    case UnreadKey::Unknown:
      break;
  }
  return text + "looks like a key but is not one that is read";
}
