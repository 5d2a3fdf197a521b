#include "jobs/run_check.h"

#include "jobs/linking_worker.h"
#include "linking/data_file_reading.h"
#include "linking/pair_lookup.h"
#include "params/token_reader.h"

namespace {

DataFileGlance glance(RunSettings& s, const DataFileSpec& spec, bool itemFile) {
  DataFileGlance g;
  g.name = spec.name;
  const auto d = static_cast<std::size_t>(s.Theta_Dimension);
  const auto records = static_cast<std::size_t>(itemFile ? s.itemCount : s.pointCount);
  std::vector<double> slopes, intercepts, guessing;
  const bool withGuessing = itemFile && s.Model_Type != 1;
  const int scaleFlag = withGuessing ? 1 : 0;
  g.read =
      readItemArraysShown(s, spec, scaleFlag, records, slopes, itemFile ? &intercepts : nullptr,
                          withGuessing ? &guessing : nullptr,
                          itemFile ? &g.categories : nullptr);
  if (g.read && records > 0) {
    g.slopes.assign(slopes.begin(), slopes.begin() + static_cast<std::ptrdiff_t>(d));
    if (!intercepts.empty()) g.intercept = intercepts[0];
    if (!guessing.empty()) g.guessing = guessing[0];
  }
  return g;
}

PairCheck checkPair(RunSettings& s, long long entry) {
  PairCheck pair;
  pair.entry = entry;
  pair.from = glance(s, s.fromFile, true);
  pair.to = glance(s, s.toFile, true);
  if (pair.from.read && pair.to.read) {
    pair.itemsMatch = itemCategoriesMatchShown(s, pair.from.categories, pair.to.categories);
  }
  if (s.Number_Of_Grid <= 1) pair.empirical = glance(s, s.empiricalFile, false);
  return pair;
}

}  // namespace

bool RunCheck::passes() const {
  if (!opened || !hasEngine() || loadResult != kLoadOk || pairs.empty()) return false;
  for (const PairCheck& pair : pairs) {
    if (!pair.passes()) return false;
  }
  return true;
}

RunCheck checkRun(const std::string& parameterFile, std::shared_ptr<RunHost> host) {
  RunCheck check;
  const PreScan scan = preScanParameterFile(parameterFile);
  check.opened = scan.opened && scan.error.empty();
  check.modelType = scan.modelType;
  check.entryCount = scan.pairCount;
  if (!scan.opened) {
    host->showMessage(parameterFile, "Can't open initial file", MessageButtons::Ok);
    return check;
  }
  if (!scan.error.empty()) {
    host->showMessage(scan.error, "", MessageButtons::Ok);
    return check;
  }
  if (!check.hasEngine()) return check;

  LinkingJob job;
  job.parameterFilePath = parameterFile;
  job.host = std::move(host);
  RunSettings& s = check.settings;
  s.reset();
  s.job = &job;
  check.loadResult = loadRunSettings(s, parameterFile);
  if (check.loadResult == kLoadOk) {
    // The pairs as the engine walks them: the first entry, then 2, 3, ... up to the count.
    // The number written on the first entry, as the pre-scan read it (0 when there is none).
    long long first = 0;
    if (!scan.entries.empty() && !parseLeadingInt(scan.entries.front().number, first)) first = 0;
    check.pairs.push_back(checkPair(s, first));
    for (long long next = 2; next <= scan.pairCount; ++next) {
      if (loadDataFileEntry(s, next) != PairLookup::Found) break;
      check.pairs.push_back(checkPair(s, next));
    }
  }
  s.job = nullptr;  // the job ends here
  return check;
}
