#include "linking/least_squares_linker.h"

#include <algorithm>
#include <new>

#include "linking/data_file_reading.h"
#include "linking/least_squares_fit.h"
#include "linking/pair_lookup.h"
#include "linking/pair_record.h"
#include "linking/pair_report.h"
#include "linking/pair_steps.h"
#include "numerics/matrix.h"

LeastSquaresLinker::LeastSquaresLinker() { settings.reset(); }

LeastSquaresLinker::LeastSquaresLinker(LinkingJob* job) {
  settings.reset();
  settings.job = job;
  if (loadRunSettings(settings, job->parameterFilePath) != kLoadOk) status = kSettingsOrToFile;
}

// An allocation failure for the arrays fails the read like a faulty file, after its message.
bool LeastSquaresLinker::readItems(const DataFileSpec& spec, std::vector<double>& slopes,
                                   std::vector<double>& intercepts, ItemCategories& categories) {
  return readItemArraysShown(settings, spec, scaleFlag,
                             static_cast<std::size_t>(settings.itemCount), slopes, &intercepts,
                             nullptr, &categories);
}

bool LeastSquaresLinker::readPair(std::vector<double>& toSlopes, std::vector<double>& toIntercepts,
                                  ItemCategories& toCategories, std::vector<double>& fromSlopes,
                                  std::vector<double>& fromIntercepts,
                                  ItemCategories& fromCategories) {
  if (!readItems(settings.toFile, toSlopes, toIntercepts, toCategories)) {
    status = kSettingsOrToFile;
    return false;
  }
  if (!readItems(settings.fromFile, fromSlopes, fromIntercepts, fromCategories)) {
    status = kFromFile;
    return false;
  }
  if (!itemCategoriesMatchShown(settings, fromCategories, toCategories)) {
    status = kFromFile;
    return false;
  }
  return true;
}

void LeastSquaresLinker::computeTransformation(double* block) {
  const int n = static_cast<int>(settings.itemCount);
  const int p = settings.Theta_Dimension;
  std::vector<double> toSlopes, toIntercepts, fromSlopes, fromIntercepts;
  ItemCategories toCategories, fromCategories;
  if (!readPair(toSlopes, toIntercepts, toCategories, fromSlopes, fromIntercepts,
                fromCategories)) {
    return;
  }
  const LeastSquaresFit fit =
      fromCategories.polytomous()
          ? fitLeastSquaresRows(n, p, settings.Parameterization, toSlopes.data(),
                                fromSlopes.data(),
                                interceptRows(n, toIntercepts.data(), toCategories),
                                interceptRows(n, fromIntercepts.data(), fromCategories), block)
          : fitLeastSquares(n, p, settings.Parameterization, toSlopes.data(),
                            toIntercepts.data(), fromSlopes.data(), fromIntercepts.data(), block);
  switch (fit) {
    case LeastSquaresFit::Ok:
      return;
    case LeastSquaresFit::SingularCrossProduct:
      block[0] = kSingularCrossProduct;
      settings.host().beep();
      settings.host().showMessage("Singular Matrix", "", MessageButtons::Ok);
      status = kSingularCrossProductStatus;
      return;
    case LeastSquaresFit::SingularX:
      status = kSingularX;
      return;
  }
}

int LeastSquaresLinker::transformFromParameters(const double* block, double* slopes,
                                                double* intercepts) {
  InterceptRows rows;
  return transformFrom(block, slopes, intercepts, rows);
}

int LeastSquaresLinker::transformFrom(const double* block, double* slopes, double* intercepts,
                                      InterceptRows& rows) {
  const int n = static_cast<int>(settings.itemCount);
  const int p = settings.Theta_Dimension;
  const int param = settings.Parameterization;
  std::vector<double> k(block, block + p * p);
  if (param == 1 || param == 4) {
    if (invertMatrix(p, block, k.data()) != 0) return 3;
  }
  std::vector<double> fromSlopes, fromIntercepts;
  ItemCategories categories;
  if (!readItems(settings.fromFile, fromSlopes, fromIntercepts, categories)) return 1;
  matMul(n, p, p, fromSlopes.data(), k.data(), slopes);
  std::vector<double> shifted(n);
  matMul(n, p, 1, slopes, block + p * p, shifted.data());
  scaledSum(n, 1.0, fromIntercepts.data(), -1.0, shifted.data(), intercepts);
  rows = InterceptRows{};
  if (categories.polytomous()) {
    // Every intercept row moves by its factor times the item's shift A* t.
    rows = interceptRows(n, fromIntercepts.data(), categories);
    for (std::size_t r = 0; r < rows.values.size(); ++r) {
      rows.values[r] -= rows.factor[r] * shifted[rows.item[r]];
    }
  }
  return 0;
}

double LeastSquaresLinker::fitCriterion(const double* block) {
  if (status != kOk) return kNoCriterion;
  const auto n = static_cast<std::size_t>(settings.itemCount);
  const auto p = static_cast<std::size_t>(settings.Theta_Dimension);
  std::vector<double> slopes(n * p), intercepts(n);
  InterceptRows rows;  // with polytomous items: every intercept is compared
  if (transformFrom(block, slopes.data(), intercepts.data(), rows) != 0) {
    status = kFromFile;
    return kCriterionFailed;
  }
  std::vector<double> toSlopes, toIntercepts;
  ItemCategories toCategories;
  if (!readItems(settings.toFile, toSlopes, toIntercepts, toCategories)) {
    status = kSettingsOrToFile;
    return kCriterionFailed;
  }
  const bool byRows = !rows.values.empty();
  const InterceptRows toRows =
      byRows ? interceptRows(n, toIntercepts.data(), toCategories) : InterceptRows{};
  const double* fitted = byRows ? rows.values.data() : intercepts.data();
  const double* target = byRows ? toRows.values.data() : toIntercepts.data();
  const std::size_t interceptCount = byRows ? rows.values.size() : n;
  if (byRows && toRows.values.size() != interceptCount) {
    status = kFromFile;  // the files changed since the pair was fitted
    return kCriterionFailed;
  }
  long double sum = 0.0L;
  for (std::size_t i = 0; i < n * p; ++i) {
    const long double diff = static_cast<long double>(slopes[i]) - toSlopes[i];
    sum += diff * diff;
  }
  for (std::size_t i = 0; i < interceptCount; ++i) {
    const long double diff = static_cast<long double>(fitted[i]) - target[i];
    sum += diff * diff;
  }
  return static_cast<double>(sum / static_cast<long double>(p * n + interceptCount));
}

double LeastSquaresLinker::run(int pairCount) {
  if (settings.Model_Type != 1 || status != kOk || settings.job == nullptr) return kNotRun;
  const int p = settings.Theta_Dimension;
  std::vector<double> block(static_cast<std::size_t>(p) * (p + 1), 0.0);
  double criterion = kNoCriterion;
  int pairsDone = 0;
  long long nextEntry = 2;
  for (;;) {
    if (announcePairAndPollStop(settings)) {
      status = kStopped;
      break;
    }
    PairRecord record(settings, pairsDone == 0 ? 0 : nextEntry - 1);
    try {
      computeTransformation(block.data());
      criterion = fitCriterion(block.data());
    } catch (const std::bad_alloc&) {
      // The pair's work arrays are as large as its item arrays; the pair fails like a read.
      showNotEnoughMemory(settings.host());
      status = kFromFile;
      criterion = kNoCriterion;
    }
    if (status == kOk) {
      reportPair(settings, criterion, block.data());
      if (record.wantsReferenceCriteria()) {
        record.outcome().criterionAtIdentity = fitCriterion(identityBlock(p).data());
        status = kOk;
      }
      record.linked(settings, criterion, block.data());
    } else {
      const bool goOn = settings.host().showMessage("Problem in Linking, Continue?", "",
                                                    MessageButtons::OkCancel) == MessageAnswer::Ok;
      record.failed(settings, status, goOn);
      if (!goOn) break;
      status = kOk;
    }
    ++pairsDone;
    if (pairCount > 0 && pairsDone == pairCount) break;
    const PairLookup next = loadDataFileEntry(settings, nextEntry);
    if (next == PairLookup::CannotOpen) status = kSettingsOrToFile;
    if (next != PairLookup::Found) break;
    ++nextEntry;
  }
  storeTransformation(settings, block);
  return criterion;
}
