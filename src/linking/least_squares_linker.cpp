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
                                   std::vector<double>& intercepts) {
  return readItemArraysShown(settings, spec, scaleFlag,
                             static_cast<std::size_t>(settings.itemCount), slopes, &intercepts,
                             nullptr);
}

void LeastSquaresLinker::computeTransformation(double* block) {
  const int n = static_cast<int>(settings.itemCount);
  const int p = settings.Theta_Dimension;
  std::vector<double> toSlopes, toIntercepts, fromSlopes, fromIntercepts;
  if (!readItems(settings.toFile, toSlopes, toIntercepts)) {
    status = kSettingsOrToFile;
    return;
  }
  if (!readItems(settings.fromFile, fromSlopes, fromIntercepts)) {
    status = kFromFile;
    return;
  }
  switch (fitLeastSquares(n, p, settings.Parameterization, toSlopes.data(), toIntercepts.data(),
                          fromSlopes.data(), fromIntercepts.data(), block)) {
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
  const int n = static_cast<int>(settings.itemCount);
  const int p = settings.Theta_Dimension;
  const int param = settings.Parameterization;
  std::vector<double> k(block, block + p * p);
  if (param == 1 || param == 4) {
    if (invertMatrix(p, block, k.data()) != 0) return 3;
  }
  std::vector<double> fromSlopes, fromIntercepts;
  if (!readItems(settings.fromFile, fromSlopes, fromIntercepts)) return 1;
  matMul(n, p, p, fromSlopes.data(), k.data(), slopes);
  std::vector<double> shifted(n);
  matMul(n, p, 1, slopes, block + p * p, shifted.data());
  scaledSum(n, 1.0, fromIntercepts.data(), -1.0, shifted.data(), intercepts);
  return 0;
}

double LeastSquaresLinker::fitCriterion(const double* block) {
  if (status != kOk) return kNoCriterion;
  const auto n = static_cast<std::size_t>(settings.itemCount);
  const auto p = static_cast<std::size_t>(settings.Theta_Dimension);
  std::vector<double> slopes(n * p), intercepts(n);
  if (transformFromParameters(block, slopes.data(), intercepts.data()) != 0) {
    status = kFromFile;
    return kCriterionFailed;
  }
  std::vector<double> toSlopes, toIntercepts;
  if (!readItems(settings.toFile, toSlopes, toIntercepts)) {
    status = kSettingsOrToFile;
    return kCriterionFailed;
  }
  long double sum = 0.0L;
  for (std::size_t i = 0; i < n * p; ++i) {
    const long double diff = static_cast<long double>(slopes[i]) - toSlopes[i];
    sum += diff * diff;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const long double diff = static_cast<long double>(intercepts[i]) - toIntercepts[i];
    sum += diff * diff;
  }
  return static_cast<double>(sum / static_cast<long double>((p + 1) * n));
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
