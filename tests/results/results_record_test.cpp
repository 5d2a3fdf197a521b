// Reading results documents back: the fixture, older documents without diagnostics, the
// writer's own output, and a table of documents that are not results, each with its message.
#include "results/results_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>

#include "report/results_json.h"
#include "results/run_record.h"
#include "support/temp_dir.h"

namespace {

using json = nlohmann::json;

const std::string kFixture = TORVAK_SOURCE_DIR "/tests/results/two_dimensional_results.json";

json fixture() { return json::parse(readWholeFile(kFixture)); }

ResultsRead readJson(const json& document) { return readResultsJson(document.dump(), "r.json"); }

}  // namespace

TEST(ResultsRecord, ReadsEveryKeyOfTheFixture) {
  const ResultsRead read = readResultsFile(kFixture);
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.document.exitStatus, 73);
  ASSERT_EQ(read.document.runs.size(), 1u);
  const ResultsRun& run = read.document.runs[0];
  EXPECT_EQ(run.parameterFile, "/data/forms.ini");
  ASSERT_EQ(run.pairs.size(), 2u);

  const ResultsPair& p = run.pairs[0];
  EXPECT_TRUE(p.linked());
  EXPECT_EQ(p.model, 4);
  EXPECT_EQ(p.dimension, 2);
  EXPECT_EQ(p.itemCount, 12);
  EXPECT_NEAR(p.M[0][1], -0.10101, 1e-6);
  EXPECT_NEAR(p.t[0], -0.191919, 1e-6);
  EXPECT_DOUBLE_EQ(p.A[0][0], 1.1);
  EXPECT_DOUBLE_EQ(p.b[1], -0.1);
  EXPECT_EQ(p.excludedItems, std::vector<long long>{5});
  EXPECT_DOUBLE_EQ(*p.driftCutoff, 0.1);
  EXPECT_EQ(*p.thetaRange, std::make_pair(-3.0, 3.0));
  ASSERT_EQ(p.items.size(), 12u);
  const ResultsItem& seventh = p.items[5];
  EXPECT_EQ(seventh.item, 7);
  EXPECT_TRUE(seventh.flagged);
  EXPECT_EQ(seventh.to.slopes.size(), 2u);
  EXPECT_EQ(seventh.fromTransformed.asymptote, seventh.from.asymptote)
      << "the link leaves the asymptote as it is";
  ASSERT_TRUE(seventh.share.has_value());
  ASSERT_TRUE(p.standardErrors.has_value());
  EXPECT_EQ(p.standardErrors->method, "bootstrap");
  EXPECT_EQ(p.standardErrors->failed, 1);
  EXPECT_EQ(*p.standardErrors->seed, 1u);
  EXPECT_TRUE(p.standardErrors->hasInterval());
  EXPECT_DOUBLE_EQ(p.standardErrors->upperT[1], 0.1802);

  const ResultsPair& skipped = run.pairs[1];
  EXPECT_FALSE(skipped.linked());
  EXPECT_EQ(skipped.status, 3);
  EXPECT_TRUE(skipped.M.empty());
  EXPECT_TRUE(skipped.items.empty());
  EXPECT_NE(skipped.message.find("Problem in Linking"), std::string::npos);
}

// Documents written before diagnostics existed lack the keys, or hold them as null.
TEST(ResultsRecord, OlderDocumentsAndNullsReadAsEmpty) {
  const std::vector<std::function<void(json&)>> changes = {
      [](json& p) {
        for (const char* key : {"excluded_items", "drift_cutoff", "theta_range",
                                "item_diagnostics", "standard_errors"}) {
          p.erase(key);
        }
      },
      [](json& p) {
        for (const char* key : {"excluded_items", "drift_cutoff", "theta_range",
                                "item_diagnostics", "standard_errors"}) {
          p[key] = nullptr;
        }
      },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    json document = fixture();
    changes[i](document["runs"][0]["pairs"][0]);
    const ResultsRead read = readJson(document);
    ASSERT_TRUE(read.ok()) << read.error;
    const ResultsPair& p = read.document.runs[0].pairs[0];
    EXPECT_TRUE(p.items.empty());
    EXPECT_TRUE(p.excludedItems.empty());
    EXPECT_FALSE(p.driftCutoff || p.thetaRange || p.standardErrors);
    EXPECT_EQ(p.M.size(), 2u) << "the link itself is still read";
  }
}

TEST(ResultsRecord, NullNumbersAreNaNAndASingularLinkHasNoM) {
  json document = fixture();
  json& p = document["runs"][0]["pairs"][0];
  p["item_diagnostics"][0]["rmsd"] = nullptr;  // the writer's NaN
  p["item_diagnostics"][0]["share"] = nullptr;
  p["M"] = nullptr;
  p["t"] = nullptr;
  p["standard_errors"] = nullptr;
  const ResultsRead read = readJson(document);
  ASSERT_TRUE(read.ok()) << read.error;
  const ResultsPair& pair = read.document.runs[0].pairs[0];
  EXPECT_TRUE(std::isnan(pair.items[0].rmsd));
  EXPECT_FALSE(pair.items[0].share.has_value());
  EXPECT_TRUE(pair.M.empty() && pair.t.empty());
}

TEST(ResultsRecord, RefusesWhatIsNotResultsAndSaysWhere) {
  struct Case {
    const char* what;
    std::function<void(json&)> change;
    const char* message;  // a part of the error
  };
  auto pair = [](json& d) -> json& { return d["runs"][0]["pairs"][0]; };
  const Case cases[] = {
      {"no format", [](json& d) { d.erase("format"); }, "r.json: not a Torvak results document"},
      {"other format", [](json& d) { d["format"] = "something else"; },
       "not a Torvak results document"},
      {"a list", [](json& d) { d = json::array({1, 2}); }, "not a Torvak results document"},
      {"newer version", [](json& d) { d["format_version"] = 2; },
       "r.json: format_version: version 2 is not the one this program reads (1)"},
      {"runs not a list", [](json& d) { d["runs"] = 3; }, "r.json: runs: not a list"},
      {"pairs missing", [](json& d) { d["runs"][0].erase("pairs"); }, "runs[0].pairs: not a list"},
      {"result unknown", [&](json& d) { pair(d)["result"] = "maybe"; },
       "runs[0].pairs[0].result: not \"linked\", \"skipped\" or \"failed\""},
      {"dimension 0", [&](json& d) { pair(d)["dimension"] = 0; },
       "runs[0].pairs[0].dimension: not 1 to 25"},
      {"dimension text", [&](json& d) { pair(d)["dimension"] = "2"; },
       "runs[0].pairs[0].dimension: not a whole number"},
      {"M too small", [&](json& d) { pair(d)["M"] = json::array({json::array({1.0})}); },
       "runs[0].pairs[0].M: not a 2 x 2 matrix"},
      {"M row short", [&](json& d) { pair(d)["M"][1] = json::array({1.0}); },
       "runs[0].pairs[0].M[1]: not a list of 2 numbers"},
      {"A missing", [&](json& d) { pair(d).erase("A"); }, "runs[0].pairs[0].A: not a 2 x 2"},
      {"M without t", [&](json& d) { pair(d)["t"] = nullptr; }, "M and t must both be given"},
      {"b text", [&](json& d) { pair(d)["b"][0] = "x"; }, "runs[0].pairs[0].b[0]: not a number"},
      {"slopes short", [&](json& d) { pair(d)["item_diagnostics"][3]["to"]["slopes"] = {1.0}; },
       "runs[0].pairs[0].item_diagnostics[3].to.slopes: not a list of 2 numbers"},
      {"no from", [&](json& d) { pair(d)["item_diagnostics"][0].erase("from"); },
       "item_diagnostics[0].from: not an object"},
      {"flag text", [&](json& d) { pair(d)["item_diagnostics"][2]["flagged"] = "yes"; },
       "item_diagnostics[2].flagged: not true or false"},
      {"item not whole", [&](json& d) { pair(d)["item_diagnostics"][2]["item"] = 2.5; },
       "item_diagnostics[2].item: not a whole number"},
      {"excluded text", [&](json& d) { pair(d)["excluded_items"] = {"3"}; },
       "excluded_items[0]: not a whole number"},
      {"range upside down", [&](json& d) { pair(d)["theta_range"] = {3.0, -3.0}; },
       "theta_range: not lowest below highest"},
      {"range one end", [&](json& d) { pair(d)["theta_range"] = {3.0}; },
       "theta_range: not a list of 2 numbers"},
      {"method unknown", [&](json& d) { pair(d)["standard_errors"]["method"] = "delta"; },
       "standard_errors.method: neither"},
      {"half an interval", [&](json& d) { pair(d)["standard_errors"]["t_upper"] = nullptr; },
       "standard_errors: an interval without all four of its bounds"},
      {"errors of another size", [&](json& d) { pair(d)["standard_errors"]["t"] = {0.1}; },
       "standard_errors.t: not a list of 2 numbers"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    json document = fixture();
    c.change(document);
    const ResultsRead read = readJson(document);
    EXPECT_FALSE(read.ok());
    EXPECT_NE(read.error.find(c.message), std::string::npos) << read.error;
  }
}

TEST(ResultsRecord, TextThatIsNoJsonAndAMissingFileAreNamed) {
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {"", "r.json: not a Torvak results document (not JSON text)"},
      {"{\"format\": ", "not JSON text"},
      {"$Data_Files 1= a.dat b.dat\n", "not JSON text"},
      {"{}", "r.json: not a Torvak results document"},
  };
  for (const auto& c : cases) {
    const ResultsRead read = readResultsJson(c.text, "r.json");
    EXPECT_NE(read.error.find(c.message), std::string::npos) << c.text << ": " << read.error;
  }
  TempDir dir;
  const ResultsRead missing = readResultsFile(dir.file("gone.json"));
  EXPECT_EQ(missing.error, dir.file("gone.json") + ": cannot be opened for reading");
}

// The writer and the reader agree: a run's record goes through the JSON unchanged.
TEST(ResultsRecord, RecordOfARunReadsBackWhatTheWriterWrote) {
  RunResults run;
  run.parameterFile = "/runs/link.ini";
  run.pairs.reserve(2);
  PairOutcome& linked = run.pairs.emplace_back();
  linked.entry = 4;
  linked.fromFile = "f.dat";
  linked.toFile = "t.dat";
  linked.model = 3;
  linked.dimension = 2;
  linked.items = 3;
  linked.M = {1.0, 0.5, 0.0, 2.0};
  linked.t = {0.25, -0.5};
  linked.A = {1.0, -0.25, 0.0, 0.5};
  linked.b = {-0.125, 0.25};
  linked.criterion = 0.0042;
  linked.excludedItems = {2};
  linked.driftCutoff = 0.1;
  linked.thetaRange = std::make_pair(-2.5, 2.5);
  ItemDiagnostic& item = linked.itemDiagnostics.emplace_back();
  item.item = 3;
  item.toSlopes = {1.0, 0.5};
  item.fromSlopes = {0.9, 0.6};
  item.transformedSlopes = {0.9, 0.075};
  item.toIntercept = 0.2;
  item.fromIntercept = 0.1;
  item.transformedIntercept = 0.1375;
  item.toAsymptote = item.fromAsymptote = 0.2;
  item.share = 0.001;
  item.rmsd = 0.12;
  item.maxDifference = 0.3;
  item.flagged = true;
  StandardErrors& errors = linked.standardErrors.emplace();
  errors.replications = 3;
  errors.M = {0.1, 0.2, 0.3, 0.4};
  errors.t = {0.5, 0.6};
  PairOutcome& skipped = run.pairs.emplace_back();
  skipped.result = PairOutcome::Result::Skipped;
  skipped.entry = 5;
  skipped.status = 2;

  const ResultsRead read = recordOfRun(run);
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(read.document.runs.size(), 1u);
  const ResultsRun& r = read.document.runs[0];
  EXPECT_EQ(r.parameterFile, run.parameterFile);
  ASSERT_EQ(r.pairs.size(), 2u);
  const ResultsPair& p = r.pairs[0];
  EXPECT_EQ(p.pair, 1);
  EXPECT_EQ(p.entry, 4);
  EXPECT_EQ(p.M, (RowMatrix{{1.0, 0.5}, {0.0, 2.0}}));
  EXPECT_EQ(p.A, (RowMatrix{{1.0, -0.25}, {0.0, 0.5}}));
  EXPECT_EQ(p.t, linked.t);
  EXPECT_EQ(p.b, linked.b);
  EXPECT_DOUBLE_EQ(*p.criterion, 0.0042);
  EXPECT_EQ(p.excludedItems, linked.excludedItems);
  EXPECT_EQ(*p.thetaRange, *linked.thetaRange);
  ASSERT_EQ(p.items.size(), 1u);
  const ResultsItem& i = p.items[0];
  EXPECT_EQ(i.item, 3);
  EXPECT_EQ(i.to.slopes, item.toSlopes);
  EXPECT_EQ(i.from.slopes, item.fromSlopes);
  EXPECT_EQ(i.fromTransformed.slopes, item.transformedSlopes);
  EXPECT_DOUBLE_EQ(i.fromTransformed.intercept, 0.1375);
  EXPECT_DOUBLE_EQ(i.to.asymptote, 0.2);
  EXPECT_DOUBLE_EQ(*i.share, 0.001);
  EXPECT_TRUE(i.flagged);
  ASSERT_TRUE(p.standardErrors.has_value());
  EXPECT_EQ(p.standardErrors->method, "jackknife");
  EXPECT_EQ(p.standardErrors->M, (RowMatrix{{0.1, 0.2}, {0.3, 0.4}}));
  EXPECT_FALSE(p.standardErrors->hasInterval());
  EXPECT_EQ(r.pairs[1].result, "skipped");
  EXPECT_EQ(r.pairs[1].status, 2);
}
