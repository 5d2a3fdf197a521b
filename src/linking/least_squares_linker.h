// LeastSquaresLinker: Model 1, linking by ordinary least squares on slopes and intercepts.
//
// For each pair, with From slopes A_F (items x p), intercepts d_F and To slopes A_T, d_T:
//   X = (A_F^T A_F)^-1 A_F^T A_T,   m = (A_F^T A_F)^-1 A_F^T (d_T - d_F),
// the least-squares solutions of A_F X ~ A_T and A_F m ~ d_T - d_F. The transformation block
// holds M (X^-1 for Parameterization 1 and 4, X otherwise) and t = -X^-1 m. The criterion is
// the mean squared difference between the transformed From parameters and the To parameters.
// Polytomous items add one intercept row per category intercept (a partial credit d_k moves
// by k times the item's shift); the mean is then over the slopes and all intercept rows.
// Runs on the worker thread; polls the job's stop event before each pair.
#pragma once

#include <vector>

#include "linking/least_squares_fit.h"
#include "linking/run_settings.h"

class LeastSquaresLinker {
 public:
  static constexpr double kNotRun = -4.0;
  static constexpr double kNoCriterion = -1.111111;
  static constexpr double kSingularCrossProduct = -1.11111111;
  static constexpr double kCriterionFailed = -1.0;

  // Status codes.
  static constexpr int kOk = 0;
  static constexpr int kSettingsOrToFile = 1;
  static constexpr int kFromFile = 2;
  static constexpr int kSingularX = 3;
  static constexpr int kSingularCrossProductStatus = -2;
  static constexpr int kStopped = 8;

  // Resets the settings, without a job and without loading (used inside other engines).
  LeastSquaresLinker();
  // Loads the job's parameter file; any load failure sets status 1.
  explicit LeastSquaresLinker(LinkingJob* job);

  // Links up to pairCount pairs (0: no limit); returns the last criterion or a sentinel.
  double run(int pairCount);

  // Fills block (p x p matrix, then p vector) for the current pair, or sets status.
  void computeTransformation(double* block);
  // Mean squared residual of the current pair under block, or a sentinel (sets status).
  double fitCriterion(const double* block);
  // A* = A_F K, d* = d_F - A* t with K = M^-1 for Parameterization 1 and 4, else M.
  // Returns 0, 1 when the From file cannot be read, 3 when M is singular.
  int transformFromParameters(const double* block, double* slopes, double* intercepts);
  // The same, and with polytomous From items their intercept rows, each moved by its factor
  // times the item's A* t (rows left empty for dichotomous items).
  int transformFrom(const double* block, double* slopes, double* intercepts, InterceptRows& rows);

  RunSettings settings;
  int status = kOk;
  // Non-zero: read the item files scaled by 1.702 where their file type says so, as the
  // search of Models 3 and 4 sees them. Model 1's own runs read them as they are (0).
  int scaleFlag = 0;

 private:
  bool readItems(const DataFileSpec& spec, std::vector<double>& slopes,
                 std::vector<double>& intercepts, ItemCategories& categories);
  // Reads both files' items; status set and false when one cannot be read or they differ.
  bool readPair(std::vector<double>& toSlopes, std::vector<double>& toIntercepts,
                ItemCategories& toCategories, std::vector<double>& fromSlopes,
                std::vector<double>& fromIntercepts, ItemCategories& fromCategories);
};
