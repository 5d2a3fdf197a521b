// Item diagnostics, exclusion and standard errors on simulated pairs given as arrays: a pair
// without noise has nothing to report, a moved item is flagged alone, shares add up to the
// criterion, a left-out item is as good as a missing one, and the errors repeat and agree.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numeric>

#include "diagnostics/standard_errors.h"
#include "jobs/link_arrays.h"

namespace {

struct Simulation {
  int model = 4;
  int d = 2;
  int items = 30;
  double noise = 0.0;      // uniform noise on the To parameters
  int movedItem = -1;      // 0-based; its To intercept is moved by 1.5
};

double uniform(std::uint64_t& state, double low, double high) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return low + (high - low) * static_cast<double>(state >> 11) * 0x1.0p-53;
}

// From items at random; To items carried by theta_From = A theta_To + b (a_To = A'a,
// d_To = d + a'b) with A = diag(1.2, 0.9, ...) plus a small off-diagonal and b = 0.3.
LinkInput simulatedPair(const Simulation& sim) {
  LinkInput input;
  LinkingSettings& s = input.settings;
  s.Model_Type = sim.model;
  s.Theta_Dimension = sim.d;
  s.Number_Of_Grid = sim.d == 1 ? 31 : 11;
  s.Range_Begin = -3;
  s.Range_End = 3;
  const int d = sim.d;
  std::vector<double> a(d * d, 0.0), b(d, 0.3);
  for (int k = 0; k < d; ++k) {
    a[k * d + k] = k % 2 == 0 ? 1.2 : 0.9;
    if (k + 1 < d) a[k * d + k + 1] = 0.1;
  }
  std::uint64_t state = 0x5eedULL + sim.items * 31 + d;
  for (int j = 0; j < sim.items; ++j) {
    double moved = 0.0;
    for (int k = 0; k < d; ++k) input.from.slopes.push_back(uniform(state, 0.5, 1.8));
    const double* slopes = &input.from.slopes[j * d];
    input.from.intercepts.push_back(uniform(state, -1.5, 1.5));
    input.from.guessing.push_back(sim.model == 1 ? 0.0 : uniform(state, 0.0, 0.2));
    for (int k = 0; k < d; ++k) {
      double to = 0.0;
      for (int r = 0; r < d; ++r) to += a[r * d + k] * slopes[r];
      input.to.slopes.push_back(to + uniform(state, -sim.noise, sim.noise));
      moved += slopes[k] * b[k];
    }
    input.to.intercepts.push_back(input.from.intercepts.back() + moved +
                                  uniform(state, -sim.noise, sim.noise) +
                                  (j == sim.movedItem ? 1.5 : 0.0));
    input.to.guessing.push_back(input.from.guessing.back());
  }
  return input;
}

PairOutcome linked(const LinkInput& input, const DiagnosticsOptions& options, int threads = 0) {
  EvaluationOptions evaluation;
  evaluation.threads = threads;
  const ArrayLinkResult result = linkArrays(input, evaluation, nullptr, "simulated", options);
  EXPECT_EQ(result.error, "");
  if (result.run.pairs.size() != 1) return {};
  return result.run.pairs[0];
}

DiagnosticsOptions withItems(DiagnosticsOptions::Errors errors = DiagnosticsOptions::Errors::None) {
  DiagnosticsOptions options;
  options.itemDiagnostics = true;
  options.errors = errors;
  return options;
}

double shareSum(const PairOutcome& pair) {
  double sum = 0.0;
  for (const ItemDiagnostic& item : pair.itemDiagnostics) sum += item.share.value_or(NAN);
  return sum;
}

}  // namespace

TEST(PairDiagnostics, NoiseFreePairsHaveNoSharesFlagsOrErrors) {
  for (int model : {1, 3, 4}) {
    for (int d : {1, 2}) {
      SCOPED_TRACE("model " + std::to_string(model) + ", d " + std::to_string(d));
      const PairOutcome pair =
          linked(simulatedPair({model, d, 12}), withItems(DiagnosticsOptions::Errors::Jackknife));
      ASSERT_EQ(pair.itemDiagnostics.size(), 12u);
      for (const ItemDiagnostic& item : pair.itemDiagnostics) {
        EXPECT_LT(item.rmsd, 1e-5);
        EXPECT_LT(std::fabs(*item.share), 1e-9);
        EXPECT_FALSE(item.flagged);
        for (int k = 0; k < d; ++k) {
          EXPECT_NEAR(item.transformedSlopes[k], item.toSlopes[k], 1e-5);
        }
        EXPECT_NEAR(item.transformedIntercept, item.toIntercept, 1e-5);
      }
      ASSERT_TRUE(pair.standardErrors);
      EXPECT_EQ(pair.standardErrors->replications, 12);
      EXPECT_EQ(pair.standardErrors->failed, 0);
      for (double se : pair.standardErrors->M) EXPECT_LT(se, 1e-4);
      for (double se : pair.standardErrors->t) EXPECT_LT(se, 1e-4);
    }
  }
}

TEST(PairDiagnostics, AMovedItemIsFlaggedAloneAndSharesSumToTheCriterion) {
  for (int model : {1, 3, 4}) {
    SCOPED_TRACE("model " + std::to_string(model));
    const PairOutcome pair = linked(simulatedPair({model, 2, 30, 0.02, 6}), withItems());
    ASSERT_EQ(pair.itemDiagnostics.size(), 30u);
    // They sum to the criterion at the reported transformation; the printed criterion is the
    // search's value one step before, within its relative tolerance of 1e-8.
    EXPECT_NEAR(shareSum(pair), pair.criterion, 1e-7 * pair.criterion);
    for (const ItemDiagnostic& item : pair.itemDiagnostics) {
      EXPECT_EQ(item.flagged, item.item == 7) << "item " << item.item << " rmsd " << item.rmsd;
      EXPECT_GE(item.maxDifference, item.rmsd);
    }
    ASSERT_TRUE(pair.thetaRange);
    EXPECT_EQ(pair.thetaRange->first, -3.0);
    EXPECT_EQ(pair.thetaRange->second, 3.0);
  }
}

TEST(PairDiagnostics, LeftOutItemsLinkAsIfTheyWereNotThere) {
  for (int model : {1, 4}) {
    SCOPED_TRACE("model " + std::to_string(model));
    const LinkInput input = simulatedPair({model, 2, 20, 0.05, 2});
    DiagnosticsOptions options = withItems();
    options.excludedItems = {3, 8, 9, 40};  // 40 is past the items and has no effect
    const PairOutcome without = linked(input, options);

    LinkInput shorter = input;
    for (ItemArrays* items : {&shorter.from, &shorter.to}) {
      for (int row : {8, 7, 2}) {  // 0-based rows of items 9, 8, 3, from the end
        items->slopes.erase(items->slopes.begin() + row * 2, items->slopes.begin() + row * 2 + 2);
        items->intercepts.erase(items->intercepts.begin() + row);
        items->guessing.erase(items->guessing.begin() + row);
      }
    }
    const PairOutcome missing = linked(shorter, withItems());
    EXPECT_EQ(without.M, missing.M);
    EXPECT_EQ(without.t, missing.t);
    EXPECT_EQ(without.criterion, missing.criterion);
    EXPECT_EQ(without.items, 17);
    EXPECT_EQ(without.excludedItems, (std::vector<long long>{3, 8, 9}));
    ASSERT_EQ(without.itemDiagnostics.size(), 17u);
    EXPECT_EQ(without.itemDiagnostics[2].item, 4);
    EXPECT_EQ(without.itemDiagnostics[16].item, 20);
    EXPECT_EQ(without.itemDiagnostics[2].rmsd, missing.itemDiagnostics[2].rmsd);
  }
  DiagnosticsOptions most;
  for (long long item = 1; item <= 18; ++item) most.excludedItems.push_back(item);
  EXPECT_EQ(linkArrays(simulatedPair({4, 2, 20}), {}, nullptr, "simulated", most).error,
            "leaving out 18 of the 20 common items leaves too few: a link in 2 dimensions "
            "needs at least 3");
}

TEST(PairDiagnostics, BootstrapRepeatsOnAnyThreadsAndAgreesWithTheJackknife) {
  const LinkInput input = simulatedPair({4, 1, 40, 0.15});
  DiagnosticsOptions options = withItems(DiagnosticsOptions::Errors::Bootstrap);
  options.bootstrapReplications = 60;
  options.seed = 7;
  const PairOutcome one = linked(input, options, 1);
  const PairOutcome two = linked(input, options, 2);
  ASSERT_TRUE(one.standardErrors && two.standardErrors);
  EXPECT_EQ(one.standardErrors->M, two.standardErrors->M);
  EXPECT_EQ(one.standardErrors->t, two.standardErrors->t);
  EXPECT_EQ(one.standardErrors->lowerT, two.standardErrors->lowerT);
  EXPECT_LT(one.standardErrors->lowerT[0], one.t[0]);
  EXPECT_GT(one.standardErrors->upperT[0], one.t[0]);

  options.seed = 8;
  EXPECT_NE(linked(input, options, 2).standardErrors->t, one.standardErrors->t);

  const PairOutcome jackknife = linked(input, withItems(DiagnosticsOptions::Errors::Jackknife));
  ASSERT_TRUE(jackknife.standardErrors);
  // Both estimate the item-sampling error; on 40 items they agree within a factor of 2.
  for (std::size_t i = 0; i < one.standardErrors->t.size(); ++i) {
    const double ratio = one.standardErrors->t[i] / jackknife.standardErrors->t[i];
    EXPECT_GT(ratio, 0.5);
    EXPECT_LT(ratio, 2.0);
  }
  const double ratioM = one.standardErrors->M[0] / jackknife.standardErrors->M[0];
  EXPECT_GT(ratioM, 0.5);
  EXPECT_LT(ratioM, 2.0);
}

TEST(PairDiagnostics, BootstrapDrawsDependOnlyOnSeedAndReplication) {
  EXPECT_EQ(bootstrapDraw(1, 5, 30), bootstrapDraw(1, 5, 30));
  EXPECT_NE(bootstrapDraw(1, 5, 30), bootstrapDraw(1, 6, 30));
  EXPECT_NE(bootstrapDraw(1, 5, 30), bootstrapDraw(2, 5, 30));
  for (int item : bootstrapDraw(3, 0, 7)) {
    EXPECT_GE(item, 0);
    EXPECT_LT(item, 7);
  }
}

TEST(PairDiagnostics, WorkPastTheLimitsIsLeftOutWithANote) {
  // Model 1 links without points, but its run names a grid of 11^9 points.
  LinkInput huge = simulatedPair({1, 9, 12});
  const PairOutcome grid = linked(huge, withItems(DiagnosticsOptions::Errors::Jackknife));
  EXPECT_TRUE(grid.itemDiagnostics.empty());
  EXPECT_EQ(grid.diagnosticsNote.rfind("item diagnostics left out: 2357947691 points x 12 items", 0),
            0u)
      << grid.diagnosticsNote;
  EXPECT_TRUE(grid.standardErrors);  // Model 1's replications need no points

  DiagnosticsOptions limited = withItems(DiagnosticsOptions::Errors::Jackknife);
  limited.errorsWorkLimit = 1000.0;
  const PairOutcome small = linked(simulatedPair({4, 1, 12}), limited);
  EXPECT_EQ(small.itemDiagnostics.size(), 12u);
  EXPECT_FALSE(small.standardErrors);
  EXPECT_NE(small.diagnosticsNote.find("standard errors left out: 31 points x 12 items in 12"),
            std::string::npos)
      << small.diagnosticsNote;
}
