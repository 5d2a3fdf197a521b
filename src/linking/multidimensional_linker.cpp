#include "linking/multidimensional_linker.h"

#include <unistd.h>

#include <algorithm>
#include <new>

#include "linking/data_file_reading.h"
#include "linking/logistic_response.h"
#include "linking/pair_lookup.h"
#include "linking/pair_record.h"
#include "linking/pair_report.h"
#include "linking/pair_steps.h"
#include "numerics/matrix.h"
#include "params/number_text.h"

namespace {

void setIdentity(double* x, int d) {
  std::fill(x, x + d * (d + 1), 0.0);
  for (int k = 0; k < d; ++k) x[k * d + k] = 1.0;
}

// A grid of more coordinates than this is built from the point index, not stored, by the
// structured evaluation.
constexpr std::int64_t kStoredGridLimit = std::int64_t{1} << 20;

// Bytes the points (when stored), targets, weights and the model buffer (order 2, described
// evaluation) of a run need; saturating.
long double bytesNeeded(std::int64_t points, std::int64_t outputs, int d, bool storePoints,
                        bool reference) {
  const long double n = static_cast<long double>(d) * (d + 1);
  const long double perPoint = (storePoints ? static_cast<long double>(d) : 0.0L) + outputs + 1;
  const long double modelBuffer = reference ? outputs * (1.0L + n + n * n) : 0.0L;
  return sizeof(double) * (points * perPoint + modelBuffer);
}

long double physicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return 8.0L * (1LL << 30);
  return static_cast<long double>(pages) * pageSize;
}

}  // namespace

MultidimensionalLinker::MultidimensionalLinker(LinkingJob* job, int modelType, double refusal,
                                               bool valuePerItem)
    : modelType_(modelType), refusal_(refusal), valuePerItem_(valuePerItem) {
  RunSettings& s = settings();
  s.job = job;
  hooks = this;
  if (loadRunSettings(s, job->parameterFilePath) != kLoadOk) {
    status = kSettingsOrFromFile;
    return;
  }
  // The start must be on the scale of the search. When both files have the same type the
  // factor cancels out of the least-squares solution, so they are read as they are (which
  // keeps those results to the last bit); only mixed types need the scaled values.
  linker.scaleFlag = (s.fromFile.fileType != 0) != (s.toFile.fileType != 0) ? 1 : 0;
  const int d = s.Theta_Dimension;
  const EvaluationOptions& evaluation = job->evaluation;
  const bool grid = s.Number_Of_Grid > 1;
  storePoints_ = evaluation.reference || !grid || s.pointCount <= kStoredGridLimit / d;
  if (!allocateForOutputs(valuePerItem ? s.itemCount : 1)) return;
  if (!evaluation.reference) {
    if (storePoints_) {
      pointBlocks_.setStored(points.data(), pointCount, d);
    } else {
      pointBlocks_.setGrid(s.Number_Of_Grid, s.Range_Begin,
                           (s.Range_End - s.Range_Begin) / (s.Number_Of_Grid - 1), pointCount, d);
    }
    try {
      structured_ = std::make_unique<StructuredObjective>(
          valuePerItem ? StructuredObjective::Model::ItemSurface
                       : StructuredObjective::Model::TestSurface,
          d, evaluation.threads);
    } catch (const std::bad_alloc&) {
      warn("Not Enough Memory");
      status = kNoPoints;
      return;
    }
  }
  try {
    itemSlopes.assign(static_cast<std::size_t>(d * s.itemCount), 0.0);
    itemIntercepts.assign(static_cast<std::size_t>(s.itemCount), 0.0);
    itemAsymptotes.assign(static_cast<std::size_t>(s.itemCount), 0.0);
    transformation.assign(static_cast<std::size_t>(d) * (d + 1), 0.0);
  } catch (const std::bad_alloc&) {
    warn("Not Enough Memory");
    status = kNoPoints;
  }
}

bool MultidimensionalLinker::allocateForOutputs(std::int64_t outputs) {
  const RunSettings& s = settings();
  const int d = s.Theta_Dimension;
  const bool reference = s.job->evaluation.reference;
  // Refuse a point set that cannot fit before anything is allocated; half the machine's memory
  // is the most a run may take.
  const long double bytes = bytesNeeded(s.pointCount, outputs, d, storePoints_, reference);
  if (bytes > physicalMemory() / 2) {
    warn("Too many theta points: " + std::to_string(s.pointCount) + " points in " +
         std::to_string(d) + " dimensions with " + std::to_string(s.itemCount) + " items need " +
         fixedText(static_cast<double>(bytes / (1024.0L * 1024.0L)), 0) + " MiB");
    status = kNoPoints;
    return false;
  }
  // The structured evaluation keeps its targets in whole blocks of points.
  const std::int64_t targetRows =
      reference
          ? 0
          : (s.pointCount + PointBlocks::kBlock - 1) / PointBlocks::kBlock * PointBlocks::kBlock;
  if (allocatePoints(s.pointCount, outputs, d, storePoints_, targetRows) != 0) {
    if (searchStatus == kNoMemory) warn("Not Enough Memory");
    status = kNoPoints;
    return false;
  }
  // The criterion is divided by the items, not by the categories of polytomous ones.
  divisorValues = valuePerItem_ ? s.itemCount : 0;
  if (structured_ != nullptr && storePoints_) pointBlocks_.setStored(points.data(), pointCount, d);
  return true;
}

void MultidimensionalLinker::itemInterceptsOf(std::int64_t j, double* out) const {
  const auto item = static_cast<std::size_t>(j);
  out[0] = itemIntercepts[item];
  const int count = itemCategories.count(item);
  if (count > 2) std::copy_n(itemCategories.restOf(item), count - 2, out + 1);
}

bool MultidimensionalLinker::stopRequested() {
  return settings().job != nullptr && settings().job->stopEvent.poll();
}

void MultidimensionalLinker::stepTaken(long step, double currentValue) {
  postPairProgress(settings(), step, currentValue);
}

void MultidimensionalLinker::warn(const std::string& text) {
  settings().host().beep();
  settings().host().showMessage(text, "", MessageButtons::Ok);
}

bool MultidimensionalLinker::askToContinue() {
  return settings().host().showMessage("Problem in Linking, Continue?", "",
                                       MessageButtons::OkCancel) == MessageAnswer::Ok;
}

bool MultidimensionalLinker::readItems(const DataFileSpec& spec) {
  ItemFileOutputs out;
  out.slopes = itemSlopes;
  out.intercepts = itemIntercepts;
  out.guessing = itemAsymptotes;
  out.dimension = dimension();
  itemCategories.clear();
  out.categories = &itemCategories;
  return readDataFileShown(settings(), spec, 1, out);
}

void MultidimensionalLinker::buildGrid() {
  const RunSettings& s = linker.settings;
  const int d = s.Theta_Dimension;
  const int g = s.Number_Of_Grid;
  const double step = (s.Range_End - s.Range_Begin) / (g - 1);
  for (std::int64_t i = 0; i < pointCount; ++i) {
    PointBlocks::gridPoint(i, g, s.Range_Begin, step, d, &points[i * d]);
  }
}

void MultidimensionalLinker::prepareData() {
  if (status != 0) return;
  RunSettings& s = settings();
  const int d = s.Theta_Dimension;
  const int n = d * (d + 1);
  std::vector<double> kept = std::move(parameters);
  parameters.assign(n, 0.0);
  setIdentity(parameters.data(), d);
  parameterCount = n;
  auto restore = [&] { parameters = std::move(kept); };

  if (!readItems(s.toFile)) {
    status = kToFile;
    restore();
    return;
  }
  // Model 4 compares every category of a polytomous item: the targets grow to fit them.
  std::int64_t values = 0;
  for (std::int64_t j = 0; j < itemCount(); ++j) {
    values += itemCategories.values(static_cast<std::size_t>(j));
  }
  if (valuePerItem_ && values != outputSize && !allocateForOutputs(values)) {
    restore();
    return;
  }
  if (s.Number_Of_Grid > 1) {
    if (!points.empty()) buildGrid();
  } else {
    ItemFileOutputs out;
    out.slopes = points;
    if (!readDataFileShown(s, s.empiricalFile, 0, out)) {
      status = kSettingsOrFromFile;
      restore();
      return;
    }
  }
  if (structured_ != nullptr) {
    if (!structured_->setItems(itemSlopes.data(), itemIntercepts.data(), itemAsymptotes.data(),
                               itemCount(), &itemCategories) ||
        !structured_->computeTargets(pointBlocks_, s.Weighing_Method != 0, weights.data(),
                                     targets.data())) {
      warn("Not Enough Memory");
      status = kNoPoints;
      restore();
      return;
    }
  } else {
    for (std::int64_t i = 0; i < pointCount; ++i) {
      const double* theta = &points[i * d];
      weights[i] = s.Weighing_Method != 0 ? normalWeight(theta, d) : 1.0;
      evaluateModel(0, theta, &targets[i * outputSize]);
    }
  }
  restore();
  const ItemCategories toCategories = itemCategories;
  if (!readItems(s.fromFile)) {
    status = kSettingsOrFromFile;
    return;
  }
  if (!itemCategoriesMatchShown(s, itemCategories, toCategories)) {
    status = kSettingsOrFromFile;
    return;
  }
  if (structured_ != nullptr &&
      !structured_->setItems(itemSlopes.data(), itemIntercepts.data(), itemAsymptotes.data(),
                             itemCount(), &itemCategories)) {
    warn("Not Enough Memory");
    status = kSearchFailed;
    return;
  }
  if (s.Search_Method != 0) {
    setSearchSettings(s.Search_Method, s.Tolerance, s.Initial_Step_Length,
                      s.Number_Change_Direction, s.Number_Step);
  }
}

void MultidimensionalLinker::evaluate(int order, double* out) {
  if (structured_ == nullptr) {
    LeastSquaresObjective::evaluate(order, out);
    return;
  }
  if (pointCount <= 0) {
    searchStatus = SearchMinimizer::kNoPoints;
    return;
  }
  if (!structured_->evaluate(order, parameters.data(), pointBlocks_, weights.data(), targets.data(),
                             out)) {
    warn("Not Enough Memory");
    searchStatus = SearchMinimizer::kNoMemory;
  }
}

// The Model 1 solution as (A, b) of theta* = A theta + b; the identity when it cannot be had.
void MultidimensionalLinker::setStartingPoint() {
  RunSettings& s = settings();
  const int d = s.Theta_Dimension;
  double* a = transformation.data();
  double* b = a + d * d;
  linker.status = 0;
  linker.computeTransformation(a);
  if (linker.status != 0) {
    setIdentity(a, d);
    return;
  }
  std::vector<double> inverse(d * d), u(d);
  if ((s.Parameterization == 1 || s.Parameterization == 4) &&
      invertMatrix(d, a, inverse.data()) == 0) {
    std::copy(inverse.begin(), inverse.end(), a);
  }
  matMul(d, d, 1, a, b, u.data());
  for (int k = 0; k < d; ++k) b[k] = -u[k];
}

void MultidimensionalLinker::searchWithRestart() {
  const int n = static_cast<int>(transformation.size());
  pairSearch_ = SearchCounts{};
  auto count = [this] {
    pairSearch_.cycles += cyclesDone;
    pairSearch_.steps += stepsTaken;
    pairSearch_.evaluations += evaluations;
    pairSearch_.status = searchStatus;
  };
  minimize(transformation.data(), n);
  count();
  if (searchStatus < 0) return;
  if (searchStatus != kEnded) return;
  const double firstBest = bestValue;
  std::vector<double> restart(n);
  setIdentity(restart.data(), dimension());
  minimize(restart.data(), n);
  count();
  pairSearch_.restarted = true;
  if (searchStatus >= 0 && bestValue < firstBest) {
    transformation = restart;
  } else {
    // A restart that failed (its message was shown) leaves the first search's result.
    bestValue = firstBest;
    searchStatus = kEnded;
  }
  pairSearch_.status = searchStatus;
}

// The criterion at the identity and at the starting point, once the pair's data are ready.
void MultidimensionalLinker::evaluateReferenceCriteria(PairOutcome& outcome) {
  const int n = static_cast<int>(transformation.size());
  outcome.criterionAtIdentity = valueAt(identityBlock(dimension()).data(), n);
  outcome.criterionAtStart = valueAt(transformation.data(), n);
}

// A singular fitted A is reported unconverted, flagged by the conversion problem code.
void MultidimensionalLinker::convertForReport() {
  RunSettings& s = settings();
  const int d = s.Theta_Dimension;
  double* a = transformation.data();
  double* b = a + d * d;
  std::vector<double> inverse(d * d), u(d);
  if (invertMatrix(d, a, inverse.data()) != 0) {
    s.conversionProblems = 1;
    return;
  }
  s.conversionProblems = 0;
  matMul(d, d, 1, inverse.data(), b, u.data());
  if (s.Parameterization == 1 || s.Parameterization == 4) {
    std::copy(inverse.begin(), inverse.end(), a);
  }
  for (int k = 0; k < d; ++k) b[k] = -u[k];
}

double MultidimensionalLinker::run(int pairLimit) {
  RunSettings& s = settings();
  if (s.Model_Type != modelType_ || status != 0 || s.job == nullptr) return refusal_;
  int pairsDone = 0;
  long long nextEntry = 2;
  for (;;) {
    if (announcePairAndPollStop(s)) {
      status = kStopped;
      break;
    }
    PairRecord record(s, pairsDone == 0 ? 0 : nextEntry - 1);
    bool linked = false;
    try {
      setStartingPoint();
      prepareData();
      linked = status == 0;
      if (linked) {
        if (record.wantsReferenceCriteria()) evaluateReferenceCriteria(record.outcome());
        searchWithRestart();
        if (searchStatus < 0) {
          status = kSearchFailed;
          linked = false;
        }
      }
    } catch (const std::bad_alloc&) {
      // The search's own buffers are refused with the same message and code.
      warn("Not Enough Memory");
      status = kSearchFailed;
      linked = false;
    }
    if (linked) {
      convertForReport();
      reportPair(s, bestValue, transformation.data());
      record.outcome().search = pairSearch_;
      record.linked(s, bestValue, transformation.data());
    } else {
      const bool goOn = askToContinue();
      record.failed(s, status, goOn);
      if (!goOn) break;
      status = 0;
    }
    ++pairsDone;
    if (pairLimit > 0 && pairsDone == pairLimit) break;
    const PairLookup next = loadDataFileEntry(s, nextEntry);
    if (next == PairLookup::CannotOpen) status = kToFile;
    if (next != PairLookup::Found) break;
    ++nextEntry;
  }
  storeTransformation(s, transformation);
  return bestValue;
}
