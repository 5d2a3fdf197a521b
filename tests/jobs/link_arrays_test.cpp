// The file-free entry point: the shipped examples' first pairs, given as arrays, link to the
// bit the numbers of a run of the files; bad input is refused with a message that names it;
// an interrupt stops the run.
#include "jobs/link_arrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "data/item_file.h"
#include "linking/run_settings.h"
#include "params/parameter_file.h"

namespace {

std::string example(const std::string& name) { return TORVAK_SOURCE_DIR "/examples/" + name; }

// The values of a data file as the reader gives them, unscaled.
void readArrays(const DataFileSpec& spec, const std::string& ini, int d, ItemArrays& items,
                std::vector<double>* theta) {
  DataFileSpec file = spec;
  file.name = resolveDataPath(ini, spec.name);
  const auto n = static_cast<std::size_t>(*countRecordLinesOfFile(file));
  if (theta != nullptr) {
    theta->assign(n * static_cast<std::size_t>(d), 0.0);
    ASSERT_EQ(readItemFile(file, 0, {*theta, {}, {}, 0}).code, 0);
    return;
  }
  items.slopes.assign(n * static_cast<std::size_t>(d), 0.0);
  items.intercepts.assign(n, 0.0);
  items.guessing.assign(n, 0.0);
  ASSERT_EQ(readItemFile(file, 0, {items.slopes, items.intercepts, items.guessing, d}).code, 0);
}

// Model 4 on a grid over -4 to 4, without items.
LinkInput gridRun(int dimension, int points) {
  LinkInput input;
  input.settings.Model_Type = 4;
  input.settings.Theta_Dimension = dimension;
  input.settings.Number_Of_Grid = points;
  input.settings.Range_Begin = -4;
  input.settings.Range_End = 4;
  return input;
}

}  // namespace

TEST(LinkArrays, ExamplesGivenAsArraysLinkToTheBitAsTheirFilesDo) {
  for (const char* name :
       {"m1_1d", "m1_2d", "m3_1d_grid", "m3_2d_weighted", "m4_1d_grid", "m4_3d_empirical"}) {
    SCOPED_TRACE(name);
    const std::string ini = example(std::string(name) + ".ini");
    bool stopped = false;
    const RunResults files = runParameterFileQuietly(ini, {}, nullptr, stopped);
    ASSERT_EQ(files.status, 0);
    ASSERT_FALSE(files.pairs.empty());

    std::ifstream in(ini);
    ParameterFile file;
    ASSERT_TRUE(readParameterFile(in, ini, file).ok);
    LinkInput input;
    input.settings = file.settings;
    const int d = file.settings.Theta_Dimension;
    DataFileSpec from = file.settings.fromFile, to = file.settings.toFile;
    from.name = file.pairs[0].from;
    to.name = file.pairs[0].to;
    readArrays(from, ini, d, input.from, nullptr);
    readArrays(to, ini, d, input.to, nullptr);
    if (file.settings.Number_Of_Grid == 0) {
      DataFileSpec theta = file.settings.empiricalFile;
      theta.name = file.pairs[0].empirical;
      readArrays(theta, ini, d, input.from, &input.theta);
    }
    const ArrayLinkResult arrays = linkArrays(input, {}, nullptr);
    ASSERT_EQ(arrays.error, "");
    ASSERT_EQ(arrays.run.pairs.size(), 1u);
    const PairOutcome& a = arrays.run.pairs[0];
    const PairOutcome& f = files.pairs[0];
    EXPECT_EQ(a.M, f.M);
    EXPECT_EQ(a.t, f.t);
    EXPECT_EQ(a.A, f.A);
    EXPECT_EQ(a.b, f.b);
    EXPECT_EQ(a.criterion, f.criterion);
    EXPECT_EQ(a.criterionAtIdentity, f.criterionAtIdentity);
    EXPECT_EQ(a.reported, f.reported);
    EXPECT_EQ(a.items, f.items);
    EXPECT_EQ(a.points, f.points);
    if (f.search) {
      ASSERT_TRUE(a.search.has_value());
      EXPECT_EQ(a.search->evaluations, f.search->evaluations);
    }
  }
}

TEST(LinkArrays, BadInputIsRefusedWithWhatIsWrong) {
  const auto good = [] {
    LinkInput input = gridRun(1, 11);
    input.from = {{1.0, 1.2, 0.8}, {0.0, 0.5, -0.5}, {0.1, 0.2, 0.0}};
    input.to = input.from;
    return input;
  };
  struct Case {
    void (*spoil)(LinkInput&);
    const char* message;
  } cases[] = {
      {[](LinkInput& i) { i.settings.Model_Type = 2; }, "the model is 2; only 1, 3 and 4 link"},
      {[](LinkInput& i) { i.settings.Theta_Dimension = 26; },
       "the dimension is 26; it must be 1 to 25"},
      {[](LinkInput& i) { i.to.intercepts.pop_back(); },
       "From holds 3 items and To 2: the common items must match"},
      {[](LinkInput& i) { i.from.slopes.pop_back(); },
       "From: 2 slopes for 3 items in 1 dimensions (3 wanted)"},
      {[](LinkInput& i) { i.to.intercepts[1] = std::nan(""); },
       "To, item 2: the intercept is not a finite number"},
      {[](LinkInput& i) { i.from.guessing[2] = 1.0; },
       "From, item 3: the guessing parameter 1.000000 is not at least 0 and below 1"},
      {[](LinkInput& i) {
         i.settings.Theta_Dimension = 3;
         i.from.slopes.resize(9, 1.0);
         i.to.slopes.resize(9, 1.0);
       },
       "3 common items: a link in 3 dimensions needs at least 4"},
      {[](LinkInput& i) {
         i.theta = {0.0, 1.0};
       },
       "theta points and a grid both given: give one of them"},
      {[](LinkInput& i) { i.settings.Number_Of_Grid = 0; },
       "neither theta points nor a grid of at least 2 points"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    LinkInput input = good();
    EXPECT_EQ(linkInputProblem(input), "");
    c.spoil(input);
    EXPECT_EQ(linkInputProblem(input), c.message);
    EXPECT_EQ(linkArrays(input, {}, nullptr).error, c.message);
  }
}

TEST(LinkArrays, AnInterruptStopsTheSearch) {
  LinkInput input = gridRun(3, 21);
  for (int i = 0; i < 60; ++i) {
    for (int k = 0; k < 3; ++k) input.from.slopes.push_back(0.5 + 0.01 * ((i * 7 + k * 3) % 50));
    input.from.intercepts.push_back(-1.5 + 0.05 * i);
    input.from.guessing.push_back(0.1);
  }
  input.to = input.from;
  for (double& d : input.to.intercepts) d += 0.3;
  const ArrayLinkResult result = linkArrays(input, {}, [] { return true; });
  EXPECT_TRUE(result.interrupted);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.run.status, 8);
}
