#include "linking/pair_record.h"

#include "linking/pair_lookup.h"
#include "linking/pair_report.h"
#include "numerics/matrix.h"

namespace {

// Inverse of a d x d matrix, or empty when it is singular.
std::vector<double> inverseOf(const std::vector<double>& m, int d) {
  std::vector<double> inverse(m.size());
  if (invertMatrix(d, m.data(), inverse.data()) != 0) return {};
  return inverse;
}

// b = -A t
std::vector<double> negatedProduct(const std::vector<double>& a, const std::vector<double>& t,
                                   int d) {
  std::vector<double> product(d);
  matMul(d, d, 1, a.data(), t.data(), product.data());
  for (double& value : product) value = -value;
  return product;
}

}  // namespace

PairRecord::PairRecord(const RunSettings& s, long long entry)
    : collecting_(s.job != nullptr && s.job->collectPairOutcomes),
      referenceCriteria_(collecting_ && s.job->evaluateReferenceCriteria),
      start_(std::chrono::steady_clock::now()) {
  if (!collecting_) return;
  const bool inMemory = s.job->input != nullptr;
  outcome_ = describePair(s);
  outcome_.entry = entry != 0 ? entry : inMemory ? 1 : firstEntryNumber(s.settingsPath);
  outcome_.excludedItems = excludedRecords(s);
}

void PairRecord::append(const RunSettings& s) {
  s.job->pairOutcomes.push_back(std::move(outcome_));
  collecting_ = false;  // one outcome per pair
}

void PairRecord::linked(const RunSettings& s, double criterion, const double* block) {
  if (!collecting_) return;
  const int d = s.Theta_Dimension;
  const auto squares = static_cast<std::size_t>(d) * d;
  PairOutcome& o = outcome_;
  o.result = PairOutcome::Result::Linked;
  o.criterion = criterion;
  o.conversionProblems = s.conversionProblems;
  o.reported.assign(block, block + squares + d);
  std::vector<double> matrix(block, block + squares), vector(block + squares, block + squares + d);
  if (s.conversionProblems != 0) {
    // The block holds the fitted A and b, unconverted.
    o.A = matrix;
    o.b = vector;
  } else if (s.Parameterization == 1 || s.Parameterization == 4) {
    o.M = matrix;
    o.t = vector;
    o.A = inverseOf(matrix, d);
    if (!o.A.empty()) o.b = negatedProduct(o.A, o.t, d);
  } else {
    // The matrix of the opposite direction; the vector is t all the same.
    o.A = matrix;
    o.t = vector;
    o.M = inverseOf(matrix, d);
    o.b = negatedProduct(o.A, o.t, d);
  }
  o.seconds = secondsSinceStart();
  // Diagnostics are not the pair's own time.
  if (s.job->afterPairLinked) s.job->afterPairLinked(s, o);
  append(s);
}

void PairRecord::failed(const RunSettings& s, int status, bool runGoesOn) {
  if (!collecting_) return;
  outcome_.result = runGoesOn ? PairOutcome::Result::Skipped : PairOutcome::Result::Failed;
  outcome_.status = status;
  outcome_.seconds = secondsSinceStart();
  append(s);
}

double PairRecord::secondsSinceStart() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

std::vector<double> identityBlock(int d) {
  std::vector<double> block(static_cast<std::size_t>(d) * (d + 1), 0.0);
  for (int k = 0; k < d; ++k) block[static_cast<std::size_t>(k) * d + k] = 1.0;
  return block;
}
