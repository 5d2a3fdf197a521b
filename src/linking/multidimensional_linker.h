// MultidimensionalLinker: what the Model 3 and Model 4 engines share.
//
// Both find theta* = A theta + b (A d x d, b a d-vector) such that the From items at theta*
// reproduce the To items at theta over a set of theta points (a full grid over a range, last
// coordinate fastest, or the points of an empirical theta file), minimizing
//   F(A, b) = sum_i w_i |f_To(theta_i) - f_From(A theta_i + b)|^2 / (N m)
// with w_i = 1, or exp(-theta_i'theta_i / 2) when Weighing_Method is non-zero. The search
// starts at the Model 1 solution; a search that does not converge is run again from the
// identity and the better result kept. The reported pair is (A^-1, -A^-1 b) for
// Parameterization 1 and 4, (A, -A^-1 b) otherwise. Derived engines give the model values
// f through evaluateModel(); a polytomous item gives Model 4 one value per category (m above
// stays J, the items). Runs on the worker thread; polls the job's stop event before
// each pair and at every step of the search.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "linking/least_squares_linker.h"
#include "linking/structured_objective.h"
#include "numerics/least_squares_objective.h"
#include "run/pair_outcome.h"

class MultidimensionalLinker : public LeastSquaresObjective, private SearchHooks {
 public:
  // Status codes (0: no problem).
  static constexpr int kToFile = 1;
  static constexpr int kSettingsOrFromFile = 2;
  static constexpr int kNoPoints = 3;
  static constexpr int kStopped = 8;
  static constexpr int kSearchFailed = 9;

  // Links up to pairLimit pairs (0: no limit); returns the last search's bestValue, or the
  // engine's refusal value when it cannot run.
  double run(int pairLimit);

  // Reads the To items, builds the points, weights and targets, then reads the From items.
  void prepareData();
  // Puts the Model 1 solution of the current pair, as (A, b), into transformation; the
  // identity when that solution cannot be had.
  void setStartingPoint();
  // Turns the fitted (A, b) into the reported pair; a singular A is left as fitted and flagged
  // with conversion problem 1.
  void convertForReport();

  LeastSquaresLinker linker;           // its settings are the run's settings
  std::vector<double> transformation;  // A row by row, then b: d(d+1) values
  std::vector<double> itemSlopes;      // items x d
  std::vector<double> itemIntercepts;
  std::vector<double> itemAsymptotes;
  ItemCategories itemCategories;  // one entry per item
  int status = 0;

  // The structured evaluation, or with the job's reference option the described one.
  void evaluate(int order, double* out) override;

  // d_1 .. d_(m-1) of item j (m its category count).
  void itemInterceptsOf(std::int64_t j, double* out) const;

  RunSettings& settings() { return linker.settings; }
  int dimension() const { return linker.settings.Theta_Dimension; }
  std::int64_t itemCount() const { return linker.settings.itemCount; }

 protected:
  // modelType is the Model_Type this engine serves; refusal what run() returns when it cannot;
  // valuePerItem: one model value per item (else one per point).
  MultidimensionalLinker(LinkingJob* job, int modelType, double refusal, bool valuePerItem);

 private:
  bool stopRequested() override;
  void stepTaken(long step, double currentValue) override;
  void warn(const std::string& text) override;

  bool readItems(const DataFileSpec& spec);
  // Sizes the points, weights and targets for outputs model values per point (after the
  // memory check); false after the message when they cannot be had.
  bool allocateForOutputs(std::int64_t outputs);
  void buildGrid();
  void searchWithRestart();
  void evaluateReferenceCriteria(PairOutcome& outcome);
  bool askToContinue();

  SearchCounts pairSearch_;  // both searches of the pair in work
  int modelType_;
  double refusal_;
  bool valuePerItem_;
  bool storePoints_ = true;
  std::unique_ptr<StructuredObjective> structured_;  // null: the described evaluation
  PointBlocks pointBlocks_;
};
