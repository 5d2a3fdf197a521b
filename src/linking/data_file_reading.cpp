#include "linking/data_file_reading.h"

#include <algorithm>
#include <new>

#include "data/skipped_lines.h"

namespace {

// Copies the in-memory values that stand for the named data file, scaled as the reader scales
// a file's values.
bool readInputShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                    const ItemFileOutputs& out) {
  const LinkInput& input = *s.job->input;
  const bool theta = out.intercepts.empty();
  const ItemArrays& items = spec.name == s.fromFile.name ? input.from : input.to;
  const std::vector<double>& slopes = theta ? input.theta : items.slopes;
  const bool fits = slopes.size() == out.slopes.size() &&
                    (theta || items.intercepts.size() == out.intercepts.size()) &&
                    (theta || out.guessing.empty() || items.guessing.empty() ||
                     items.guessing.size() == out.guessing.size());
  if (!fits) {
    s.host().beep();
    s.host().showMessage(spec.name + ": the values do not fit the " + std::to_string(s.itemCount) +
                             " items or points of the run",
                         "Faulty data file", MessageButtons::Ok);
    return false;
  }
  const double scale = (scaleFlag != 0 && spec.fileType != 0) ? kNormalScale : 1.0;
  for (std::size_t i = 0; i < slopes.size(); ++i) {
    out.slopes[i] = theta ? slopes[i] : slopes[i] * scale;
  }
  if (theta) return true;
  for (std::size_t i = 0; i < items.intercepts.size(); ++i) {
    out.intercepts[i] = items.intercepts[i] * scale;
  }
  for (std::size_t i = 0; i < out.guessing.size(); ++i) {
    out.guessing[i] = items.guessing.empty() ? 0.0 : items.guessing[i];
  }
  if (out.categories != nullptr) {
    *out.categories = items.categories;
    if (out.categories->empty()) out.categories->addDichotomous(items.intercepts.size());
    out.categories->scaleIntercepts(scale);
  } else if (items.categories.polytomous()) {
    s.host().beep();
    s.host().showMessage(spec.name + ": polytomous items where only dichotomous items are read",
                         "Faulty data file", MessageButtons::Ok);
    return false;
  }
  return true;
}

bool readAllRecordsShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                         const ItemFileOutputs& out);

// Reads every record of an item file into full-size arrays, then keeps in out those the job
// does not leave out, in file order.
bool readKeptRecordsShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                          const ItemFileOutputs& out, const std::vector<long long>& excluded) {
  const auto records = static_cast<std::size_t>(s.recordCount);
  const std::size_t width = out.slopes.size() / out.intercepts.size();
  std::vector<double> slopes, intercepts, guessing;
  try {
    slopes.assign(records * width, 0.0);
    intercepts.assign(records, 0.0);
    if (!out.guessing.empty()) guessing.assign(records, 0.0);
  } catch (const std::bad_alloc&) {
    showNotEnoughMemory(s.host());
    return false;
  }
  ItemCategories categories;
  ItemFileOutputs all = out;
  all.slopes = slopes;
  all.intercepts = intercepts;
  all.guessing = guessing;
  if (out.categories != nullptr) all.categories = &categories;
  if (!readAllRecordsShown(s, spec, scaleFlag, all)) return false;
  std::vector<std::size_t> keptRecords;
  std::size_t kept = 0;
  auto next = excluded.begin();
  for (std::size_t r = 0; r < records; ++r) {
    if (next != excluded.end() && *next == static_cast<long long>(r + 1)) {
      ++next;
      continue;
    }
    std::copy_n(&slopes[r * width], width, &out.slopes[kept * width]);
    out.intercepts[kept] = intercepts[r];
    if (!guessing.empty()) out.guessing[kept] = guessing[r];
    keptRecords.push_back(r);
    ++kept;
  }
  if (out.categories != nullptr) *out.categories = categories.select(keptRecords);
  return true;
}

}  // namespace

bool readDataFileShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                       const ItemFileOutputs& out) {
  if (!out.intercepts.empty() && out.intercepts.size() == static_cast<std::size_t>(s.itemCount)) {
    const std::vector<long long> excluded = excludedRecords(s);
    if (!excluded.empty()) return readKeptRecordsShown(s, spec, scaleFlag, out, excluded);
  }
  return readAllRecordsShown(s, spec, scaleFlag, out);
}

namespace {

bool readAllRecordsShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                         const ItemFileOutputs& out) {
  if (s.job != nullptr && s.job->input) return readInputShown(s, spec, scaleFlag, out);
  RunHost& host = s.host();
  // The lines the row-skip list passes over: a header that contradicts the format stops the
  // read; a skipped line that reads as an item is noted.
  const SkippedLinesCheck skipped = checkSkippedLinesOfFile(spec);
  if (!skipped.refusal.empty()) {
    host.beep();
    host.showMessage(skipped.refusal, "Faulty data file", MessageButtons::Ok);
    return false;
  }
  const ItemFileResult result = readItemFile(spec, scaleFlag, out);
  if (result.code == 0) {
    if (!skipped.note.empty() && s.lineNotesShown.insert(spec.name + "\nskipped").second) {
      host.showMessage(skipped.note, "Skipped line reads as a record", MessageButtons::Ok);
    }
    if (!result.lineNote.empty() && s.lineNotesShown.insert(spec.name).second) {
      const char* caption =
          spec.recordsAreLines() ? "Fields past the format" : "Records and lines differ";
      host.showMessage(result.lineNote, caption, MessageButtons::Ok);
    }
    // Keyed apart from the note above, so that each is shown once per file and run.
    if (!result.passedNote.empty() && s.lineNotesShown.insert(spec.name + "\n").second) {
      host.showMessage(result.passedNote, "Lines passed over", MessageButtons::Ok);
    }
    return true;
  }
  host.beep();
  if (result.code == 1) {
    host.showMessage(spec.name, "No such file", MessageButtons::Ok);
  } else {
    host.showMessage(result.message, "Faulty data file", MessageButtons::Ok);
  }
  return false;
}

}  // namespace

void showNotEnoughMemory(RunHost& host) {
  host.beep();
  host.showMessage("Not Enough Memory", "", MessageButtons::Ok);
}

bool readItemArraysShown(RunSettings& s, const DataFileSpec& spec, int scaleFlag,
                         std::size_t records, std::vector<double>& slopes,
                         std::vector<double>* intercepts, std::vector<double>* guessing,
                         ItemCategories* categories) {
  try {
    slopes.assign(records * static_cast<std::size_t>(s.Theta_Dimension), 0.0);
    if (intercepts != nullptr) intercepts->assign(records, 0.0);
    if (guessing != nullptr) guessing->assign(records, 0.0);
  } catch (const std::bad_alloc&) {
    showNotEnoughMemory(s.host());
    return false;
  }
  ItemFileOutputs out;
  out.slopes = slopes;
  if (intercepts != nullptr) out.intercepts = *intercepts;
  if (guessing != nullptr) out.guessing = *guessing;
  out.dimension = intercepts != nullptr ? s.Theta_Dimension : 0;
  if (categories != nullptr) categories->clear();
  out.categories = categories;
  return readDataFileShown(s, spec, scaleFlag, out);
}

bool itemCategoriesMatchShown(RunSettings& s, const ItemCategories& from,
                              const ItemCategories& to) {
  const std::string differ =
      categoryMismatch(from, to, static_cast<std::size_t>(std::max<std::int64_t>(0, s.itemCount)));
  if (differ.empty()) return true;
  s.host().beep();
  s.host().showMessage(s.fromFile.name + " and " + s.toFile.name +
                           ": items differ in kind or category count: " + differ,
                       "Faulty data file", MessageButtons::Ok);
  return false;
}
