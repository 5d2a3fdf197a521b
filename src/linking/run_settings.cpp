#include "linking/run_settings.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <optional>

#include "data/item_file.h"
#include "data/line_count.h"
#include "params/settings_keys.h"
#include "params/text_file.h"
#include "params/token_reader.h"

namespace {

void warn(RunSettings& s, const std::string& text, const std::string& caption = {}) {
  s.host().showMessage(text, caption, MessageButtons::Ok);
}

bool beginsEntryOrSection(const std::string& word) {
  return !word.empty() && (word[0] == '$' || word[0] == '[');
}

// Reads the first "$Data_Files" entry: number, From, To and, on no grid, the empirical name.
void readFirstEntry(TokenReader& reader, RunSettings& s) {
  std::string word;
  if (!reader.next(word)) return;  // entry number, not used
  if (reader.next(word)) s.fromFile.name = word;
  if (reader.next(word)) s.toFile.name = word;
  if (s.Number_Of_Grid == 0 && reader.next(word)) {
    s.empiricalFile.name = beginsEntryOrSection(word) ? std::string() : word;
  }
}

std::int64_t countLetters(const std::string& text, char letter) {
  return std::count_if(text.begin(), text.end(),
                       [letter](unsigned char c) { return std::toupper(c) == letter; });
}

}  // namespace

void RunSettings::reset() {
  std::string keptPath = settingsPath;
  static_cast<LinkingSettings&>(*this) = LinkingSettings{};
  settingsPath = keptPath;
  job = nullptr;
  pointCount = 0;
  conversionProblems = 0;
  itemCount = 0;
  lineNotesShown.clear();
  entries.reset();
}

RunHost& RunSettings::host() const {
  static NullRunHost silent;  // stateless
  return (job != nullptr && job->host) ? *job->host : silent;
}

std::string resolveDataPath(const std::string& parameterFile, const std::string& name) {
  if (name.empty() || name[0] == '/') return name;
  const auto slash = parameterFile.find_last_of('/');
  if (slash == std::string::npos) return name;
  return parameterFile.substr(0, slash + 1) + name;
}

std::int64_t gridPointCount(int gridPoints, int dimension) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t count = 1;
  for (int k = 0; k < dimension; ++k) {
    if (gridPoints != 0 && count > kMax / gridPoints) return kMax;
    count *= gridPoints;
  }
  return count;
}

namespace {

int checkAndCount(RunSettings& s, const std::string& path, bool inMemory);

// The settings of a run given in memory: copied, then corrected and checked as a file's are.
int loadInputSettings(RunSettings& s, const std::string& path) {
  LinkingJob* job = s.job;
  s.reset();
  s.job = job;
  static_cast<LinkingSettings&>(s) = job->input->settings;
  return checkAndCount(s, path, true);
}

}  // namespace

int loadRunSettings(RunSettings& s, const std::string& path) {
  if (s.job != nullptr && s.job->input) return loadInputSettings(s, path);
  std::ifstream in;
  if (!openTextFile(path, in)) {
    warn(s, "No initial file");
    s.host().beep();
    return kLoadFailed;
  }
  LinkingJob* job = s.job;
  s.reset();
  s.job = job;

  TokenReader reader(in);
  std::string token;
  while (reader.next(token)) {
    if (isDataFilesToken(token)) {
      if (s.fromFile.name.empty()) readFirstEntry(reader, s);
      continue;
    }
    const KeyOutcome outcome = applySettingsKey(token, reader, s);
    if (outcome.kind == KeyOutcome::BadValue) {
      s.host().beep();
      warn(s, badValueMessage(path, reader.line(), outcome));
      return kLoadFailed;
    }
  }
  if (reader.readError()) {
    warn(s, "No initial file");
    s.host().beep();
    return kLoadFailed;
  }
  in.close();
  return checkAndCount(s, path, false);
}

namespace {

// The corrections and checks of loaded settings, in their fixed order, then the counts of the
// first pair; names of files are resolved against the parameter file's folder.
int checkAndCount(RunSettings& s, const std::string& path, bool inMemory) {
  if (s.Model_Type < 0) s.Model_Type = 1;
  if (s.Range_Begin >= s.Range_End) {
    s.Range_Begin = -4.0;
    s.Range_End = 4.0;
  }
  if (static_cast<std::int64_t>(s.Number_Of_Grid) * s.Theta_Dimension > 3000 ||
      s.Number_Of_Grid < 0) {
    s.Number_Of_Grid = 11;
  }
  if (s.Theta_Dimension > 25 || s.Theta_Dimension < 0) {
    s.host().beep();
    warn(s, path + ": Theta_Dimension= " + std::to_string(s.Theta_Dimension) +
                " is out of range: the dimension must be 1 to 25");
    s.Theta_Dimension = 0;
    return kLoadFailed;
  }
  if (s.Number_Of_Grid < 2 && s.empiricalFile.name.empty()) {
    warn(s, "Grid point=0 and Emperical file empty");
    s.host().beep();
    return kLoadFailed;
  }
  if (s.Number_Of_Grid >= 2 && !s.empiricalFile.name.empty()) {
    s.host().beep();
    warn(s, "Grid point>0 and Emperical file present");
    return kLoadGridAndEmpirical;
  }
  if (s.Theta_Dimension != 0 && !s.fromFile.name.empty() && !s.fromFile.columnFormat.empty() &&
      !s.toFile.name.empty() && !s.toFile.columnFormat.empty()) {
    s.settingsPath = path;
    if (inMemory) return countInputRecords(s);
    s.fromFile.name = resolveDataPath(path, s.fromFile.name);
    s.toFile.name = resolveDataPath(path, s.toFile.name);
    s.empiricalFile.name = resolveDataPath(path, s.empiricalFile.name);
    s.outputFile.name = resolveDataPath(path, s.outputFile.name);
    return countDataLines(s);
  }
  s.host().beep();
  warn(s, "Incorrect Parameter Setting, continue?");
  return kLoadFailed;
}

}  // namespace

std::vector<long long> excludedRecords(const RunSettings& s) {
  if (s.job == nullptr) return {};
  std::vector<long long> kept;
  for (long long item : s.job->diagnostics.excludedItems) {
    if (item >= 1 && item <= s.recordCount) kept.push_back(item);
  }
  return kept;
}

namespace {

// The records of the pair, less those the job leaves out.
void setItemCount(RunSettings& s, std::int64_t records) {
  s.recordCount = records;
  s.itemCount = records - static_cast<std::int64_t>(excludedRecords(s).size());
}

}  // namespace

int countInputRecords(RunSettings& s) {
  const LinkInput& input = *s.job->input;
  setItemCount(s, static_cast<std::int64_t>(
                      std::min(input.from.intercepts.size(), input.to.intercepts.size())));
  s.pointCount = s.Number_Of_Grid != 0
                     ? gridPointCount(s.Number_Of_Grid, s.Theta_Dimension)
                     : static_cast<std::int64_t>(input.theta.size()) / s.Theta_Dimension;
  if (s.pointCount <= 0 || s.itemCount <= 0) return kLoadNothingCounted;
  return kLoadOk;
}

int countDataLines(RunSettings& s) {
  struct Counted {
    const DataFileSpec& spec;
    const char* caption;
    int code;
  };
  auto count = [&s](const Counted& c) -> std::optional<std::int64_t> {
    // Records that are lines may pass some lines over; the reader counts those it keeps.
    auto lines = c.spec.recordsAreLines() ? countRecordLinesOfFile(c.spec)
                                          : countDataLinesOfFile(c.spec.name, c.spec.rowSkip);
    if (!lines) {
      s.host().beep();
      warn(s, c.spec.name, c.caption);
      s.conversionProblems = c.code;
    }
    return lines;
  };

  const auto fromItems = count({s.fromFile, "No F data file", kLoadNoFromFile});
  if (!fromItems) return kLoadNoFromFile;
  const auto toItems = count({s.toFile, "No T data file", kLoadNoToFile});
  if (!toItems) return kLoadNoToFile;
  setItemCount(s, std::min(*fromItems, *toItems));

  if (s.Number_Of_Grid != 0) {
    s.pointCount = gridPointCount(s.Number_Of_Grid, s.Theta_Dimension);
  } else {
    const auto lines = count({s.empiricalFile, "No E data file", kLoadNoEmpiricalFile});
    if (!lines) return kLoadNoEmpiricalFile;
    s.pointCount = countLetters(s.empiricalFile.columnFormat, 'T') * *lines / s.Theta_Dimension;
  }
  if (s.pointCount <= 0 || s.itemCount <= 0) return kLoadNothingCounted;
  return kLoadOk;
}
