// Mixed-format pairs (3PL, graded and partial credit items): a pair without noise gives its
// transformation back in every model; the structured evaluation agrees with the
// point-by-point one and is the same on any thread count; its gradient and Hessian agree with
// central differences; and items that differ in kind or category count are refused by number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "jobs/link_arrays.h"
#include "linking/category_response.h"
#include "linking/item_surface_linker.h"
#include "linking/test_surface_linker.h"

namespace {

double uniform(std::uint64_t& state, double low, double high) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return low + (high - low) * static_cast<double>(state >> 11) * 0x1.0p-53;
}

struct Mixed {
  int model = 4;
  int d = 2;
  double noise = 0.0;  // uniform noise on the To intercepts
  int grid = 11;
  int movedItem = -1;  // 0-based; its To intercepts are moved by 1.5
};

// Items in the cycle 3PL, graded, partial credit, 3PL, ... (12 items, 3 to 6 categories); To
// carried by theta_From = A theta_To + b: a_To = A'a, a graded d_k + a'b, a partial credit
// d_k + k a'b.
LinkInput mixedPair(const Mixed& mix, std::vector<double>& a, std::vector<double>& b) {
  LinkInput input;
  LinkingSettings& s = input.settings;
  s.Model_Type = mix.model;
  s.Theta_Dimension = mix.d;
  s.Number_Of_Grid = mix.grid;
  s.Range_Begin = -3;
  s.Range_End = 3;
  const int d = mix.d;
  a.assign(d * d, 0.0);
  b.assign(d, 0.3);
  for (int k = 0; k < d; ++k) {
    a[k * d + k] = k % 2 == 0 ? 1.2 : 0.9;
    if (k + 1 < d) a[k * d + k + 1] = 0.1;
  }
  std::uint64_t state = 0x9a11ULL + d;
  for (int j = 0; j < 12; ++j) {
    const ItemKind kind = j % 3 == 0 ? ItemKind::Dichotomous
                          : j % 3 == 1 ? ItemKind::Graded
                                       : ItemKind::PartialCredit;
    const int m = kind == ItemKind::Dichotomous ? 2 : 3 + j % 4;
    double shift = 0.0;
    for (int k = 0; k < d; ++k) {
      const double slope = uniform(state, 0.5, 1.6);
      input.from.slopes.push_back(slope);
      shift += slope * b[k];
    }
    for (int k = 0; k < d; ++k) {
      double to = 0.0;
      for (int r = 0; r < d; ++r) to += a[r * d + k] * input.from.slopes[j * d + r];
      input.to.slopes.push_back(to);
    }
    std::vector<double> intercepts;
    double next = uniform(state, 1.0, 2.0);
    for (int k = 1; k < m; ++k) {
      intercepts.push_back(kind == ItemKind::PartialCredit ? uniform(state, -1.5, 1.5) : next);
      next -= uniform(state, 0.6, 1.4);
    }
    std::vector<double> moved(intercepts);
    for (int k = 1; k < m; ++k) {
      const double factor = kind == ItemKind::PartialCredit ? k : 1.0;
      moved[k - 1] += factor * shift + uniform(state, -mix.noise, mix.noise) +
                      (j == mix.movedItem ? 1.5 : 0.0);
    }
    const double guessing = kind == ItemKind::Dichotomous && mix.model != 1 ? 0.15 : 0.0;
    input.from.intercepts.push_back(intercepts[0]);
    input.to.intercepts.push_back(moved[0]);
    input.from.guessing.push_back(guessing);
    input.to.guessing.push_back(guessing);
    input.from.categories.add(kind, m, intercepts.data() + 1);
    input.to.categories.add(kind, m, moved.data() + 1);
  }
  return input;
}

PairOutcome linked(const LinkInput& input, EvaluationOptions evaluation = {},
                   const DiagnosticsOptions& diagnostics = {}) {
  const ArrayLinkResult result = linkArrays(input, evaluation, nullptr, "mixed", diagnostics);
  EXPECT_EQ(result.error, "");
  return result.run.pairs.size() == 1 ? result.run.pairs[0] : PairOutcome{};
}

// An engine over the pair in memory, its data prepared.
std::unique_ptr<MultidimensionalLinker> engineFor(LinkingJob& job, const LinkInput& input,
                                                  bool reference, int threads) {
  auto in = std::make_shared<LinkInput>(input);
  const int d = in->settings.Theta_Dimension;
  in->settings.fromFile.name = "From items";
  in->settings.toFile.name = "To items";
  in->settings.fromFile.columnFormat = in->settings.toFile.columnFormat =
      std::string(static_cast<std::size_t>(d), 'A') + "DC";
  job.input = in;
  job.parameterFilePath = "mixed";
  job.evaluation.reference = reference;
  job.evaluation.threads = threads;
  std::unique_ptr<MultidimensionalLinker> e;
  if (input.settings.Model_Type == 3) {
    e = std::make_unique<TestSurfaceLinker>(&job);
  } else {
    e = std::make_unique<ItemSurfaceLinker>(&job);
  }
  e->prepareData();
  return e;
}

std::vector<double> evaluateAt(MultidimensionalLinker& e, int order, const std::vector<double>& x) {
  const int n = static_cast<int>(x.size());
  e.parameters = x;
  e.parameterCount = n;
  std::vector<double> out(1 + n + n * n, 0.0);
  e.evaluate(order, out.data());
  return out;
}

std::vector<double> nearIdentity(int d, std::uint64_t seed) {
  std::vector<double> x(d * (d + 1));
  for (double& v : x) v = uniform(seed, -0.2, 0.2);
  for (int k = 0; k < d; ++k) x[k * d + k] += 1.0;
  return x;
}

}  // namespace

TEST(PolytomousLinking, NoiseFreeMixedPairsGiveTheirTransformationBack) {
  for (int model : {1, 3, 4}) {
    for (int d : {1, 2, 3}) {
      SCOPED_TRACE("model " + std::to_string(model) + ", d " + std::to_string(d));
      std::vector<double> a, b;
      const PairOutcome pair = linked(mixedPair({model, d, 0.0, d == 3 ? 7 : 11}, a, b));
      ASSERT_EQ(pair.A.size(), a.size());
      for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(pair.A[i], a[i], 1e-6);
      for (std::size_t i = 0; i < b.size(); ++i) EXPECT_NEAR(pair.b[i], b[i], 1e-6);
      EXPECT_LT(pair.criterion, 1e-12);
      EXPECT_GT(pair.criterionAtIdentity.value_or(0.0), 1e-3);
    }
  }
}

TEST(PolytomousLinking, StructuredAgreesWithPointByPointAndWithCentralDifferences) {
  for (int model : {3, 4}) {
    for (int d : {1, 2, 3}) {
      SCOPED_TRACE("model " + std::to_string(model) + ", d " + std::to_string(d));
      std::vector<double> a, b;
      const LinkInput input = mixedPair({model, d, 0.3, d == 3 ? 6 : 9}, a, b);
      LinkingJob referenceJob, structuredJob, twoThreadJob;
      auto reference = engineFor(referenceJob, input, true, 1);
      auto structured = engineFor(structuredJob, input, false, 1);
      auto twoThreads = engineFor(twoThreadJob, input, false, 2);
      ASSERT_EQ(reference->status, 0);
      ASSERT_EQ(structured->status, 0);
      const int n = d * (d + 1);
      const std::vector<double> x = nearIdentity(d, 7 + d);
      const std::vector<double> want = evaluateAt(*reference, 2, x);
      const std::vector<double> got = evaluateAt(*structured, 2, x);
      EXPECT_GT(want[0], 1e-4);
      double scale = 0.0;
      for (double v : want) scale = std::max(scale, std::fabs(v));
      for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got[i], want[i], 1e-12 * scale) << "entry " << i;
      }
      EXPECT_EQ(evaluateAt(*twoThreads, 2, x), got);

      // The gradient is that of half the undivided sum: F N J / 2 (J = 12 items, or 1).
      const double undivided = structured->pointCount * (model == 4 ? 12.0 : 1.0) / 2.0;
      const double h = 1e-5;
      for (int r = 0; r < n; ++r) {
        std::vector<double> up = x, down = x;
        up[r] += h;
        down[r] -= h;
        const std::vector<double> high = evaluateAt(*structured, 1, up);
        const std::vector<double> low = evaluateAt(*structured, 1, down);
        const double slope = (high[0] - low[0]) / (2 * h) * undivided;
        EXPECT_NEAR(got[1 + r], slope, 1e-6 * (1.0 + std::fabs(slope))) << "gradient " << r;
        for (int c = 0; c < n; ++c) {
          const double curvature = (high[1 + c] - low[1 + c]) / (2 * h);
          EXPECT_NEAR(got[1 + n + r * n + c], curvature, 1e-5 * (1.0 + std::fabs(curvature)))
              << "Hessian " << r << ", " << c;
        }
      }
    }
  }
}

TEST(PolytomousLinking, CategoryDerivativesAgreeWithCentralDifferences) {
  const double intercepts[] = {1.4, 0.2, -0.7, -1.9};
  const double slope = 1.0;
  const double h = 1e-5;
  for (ItemKind kind : {ItemKind::Graded, ItemKind::PartialCredit}) {
    for (double s : {-2.5, -0.3, 0.0, 0.8, 3.1}) {
      CategoryResponses at, up, down;
      double high = s + h, low = s - h;
      categoryResponses(kind, &slope, &s, 1, intercepts, 5, 2, at);
      categoryResponses(kind, &slope, &high, 1, intercepts, 5, 2, up);
      categoryResponses(kind, &slope, &low, 1, intercepts, 5, 2, down);
      double total = 0.0, expected = 0.0;
      for (int k = 0; k < 5; ++k) {
        total += at.p[k];
        expected += k * at.p[k];
        EXPECT_GT(at.p[k], 0.0);
        EXPECT_NEAR(at.first[k], (up.p[k] - down.p[k]) / (2 * h), 1e-8);
        EXPECT_NEAR(at.second[k], (up.first[k] - down.first[k]) / (2 * h), 1e-8);
      }
      EXPECT_NEAR(total, 1.0, 1e-15);
      EXPECT_NEAR(at.score, expected, 1e-14);
      EXPECT_NEAR(at.scoreFirst, (up.score - down.score) / (2 * h), 1e-8);
      EXPECT_NEAR(at.scoreSecond, (up.scoreFirst - down.scoreFirst) / (2 * h), 1e-8);
    }
  }
}

TEST(PolytomousLinking, ItemsThatDifferInKindOrCountAreRefusedByNumber) {
  for (int model : {1, 3, 4}) {
    SCOPED_TRACE("model " + std::to_string(model));
    std::vector<double> a, b;
    LinkInput input = mixedPair({model, 1, 0.0, 11}, a, b);
    // Item 3 becomes graded in From (its intercepts decrease); item 2 loses a category in To.
    ItemCategories from, to;
    for (std::size_t j = 0; j < 12; ++j) {
      const ItemCategories& f = input.from.categories;
      const ItemCategories& t = input.to.categories;
      from.add(j == 2 ? ItemKind::Graded : f.kinds[j], f.counts[j], f.restOf(j));
      to.add(t.kinds[j], j == 1 ? t.counts[j] - 1 : t.counts[j], t.restOf(j));
    }
    std::vector<double> sorted(from.rest.begin() + static_cast<std::ptrdiff_t>(from.starts[2]),
                               from.rest.begin() + static_cast<std::ptrdiff_t>(from.starts[3]));
    std::sort(sorted.rbegin(), sorted.rend());
    std::copy(sorted.begin(), sorted.end(), from.rest.begin() + static_cast<std::ptrdiff_t>(from.starts[2]));
    input.from.intercepts[2] = sorted.front() + 1.0;
    input.from.categories = from;
    input.to.categories = to;
    const ArrayLinkResult result = linkArrays(input, {}, nullptr, "mixed");
    EXPECT_NE(result.error.find("items differ in kind or category count: item 2 (graded, 4 "
                                "categories in From, graded, 3 categories in To)"),
              std::string::npos)
        << result.error;
    EXPECT_NE(result.error.find("item 3 (graded, 5 categories in From, partial credit, 5 "
                                "categories in To)"),
              std::string::npos)
        << result.error;
  }
}

TEST(PolytomousLinking, DiagnosticsFlagAMovedPolytomousItemAloneAndSharesSumToTheCriterion) {
  DiagnosticsOptions options;
  options.itemDiagnostics = true;
  options.errors = DiagnosticsOptions::Errors::Jackknife;
  for (int model : {1, 3, 4}) {
    SCOPED_TRACE("model " + std::to_string(model));
    std::vector<double> a, b;
    const PairOutcome still = linked(mixedPair({model, 2, 0.0, 11}, a, b), {}, options);
    ASSERT_EQ(still.itemDiagnostics.size(), 12u);
    for (const ItemDiagnostic& item : still.itemDiagnostics) {
      EXPECT_LT(item.rmsd, 1e-6);
      EXPECT_FALSE(item.flagged);
      for (std::size_t k = 0; k < item.toRest.size(); ++k) {
        EXPECT_NEAR(item.transformedRest[k], item.toRest[k], 1e-6);
      }
    }
    EXPECT_EQ(still.itemDiagnostics[1].kind, "graded");
    EXPECT_EQ(still.itemDiagnostics[1].categories, 4);
    EXPECT_EQ(still.itemDiagnostics[2].kind, "partial credit");
    ASSERT_TRUE(still.standardErrors);
    EXPECT_EQ(still.standardErrors->failed, 0);
    for (double se : still.standardErrors->M) EXPECT_LT(se, 1e-4);

    // Item 6, partial credit with 5 categories, moved in To.
    const PairOutcome moved = linked(mixedPair({model, 2, 0.0, 11, 5}, a, b), {}, options);
    ASSERT_EQ(moved.itemDiagnostics.size(), 12u);
    double shares = 0.0, largestOther = 0.0;
    for (const ItemDiagnostic& item : moved.itemDiagnostics) {
      shares += item.share.value_or(NAN);
      if (item.item != 6) largestOther = std::max(largestOther, item.rmsd);
    }
    EXPECT_NEAR(shares, moved.criterion, 1e-7 * moved.criterion);
    EXPECT_GT(moved.itemDiagnostics[5].rmsd, 2 * largestOther);
    if (model != 1) EXPECT_TRUE(moved.itemDiagnostics[5].flagged);
  }
}
