// torvak-link --results: the JSON read back with the JSON library agrees with the report, and
// asking for it changes nothing that is printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/link_process.h"
#include "support/linking_fixture.h"

namespace {

// The values of a report file's block: the criterion, then the transformation.
std::vector<double> reportValues(const std::string& report, int block) {
  std::istringstream in(report);
  std::string line;
  int seen = 0;
  while (std::getline(in, line)) {
    if (line.find("Ing:") == std::string::npos || seen++ != block) continue;
    std::getline(in, line);
    std::istringstream numbers(line);
    std::vector<double> values;
    for (double v; numbers >> v;) values.push_back(v);
    return values;
  }
  return {};
}

}  // namespace

TEST(ResultsFile, RoundTripsEveryPairWithItsLabels) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(3, 1, 11, "AD"),
                    {"1= from.txt to.txt", "2= from.txt gone.txt", "3= from.txt to.txt"});
  const std::string json = f.dir.file("results.json");
  const LinkProcess plain =
      runTorvakLink(f.dir, "--on-problem=continue " + f.job.parameterFilePath);
  const std::string plainReport = readWholeFile(f.dir.file("report.txt"));
  const LinkProcess ran = runTorvakLink(
      f.dir, "--on-problem=continue --results " + json + " " + f.job.parameterFilePath);
  EXPECT_EQ(ran.exitCode, 73) << ran.err;
  EXPECT_EQ(ran.out, plain.out);  // the extra evaluations change no printed number
  const std::string report = readWholeFile(f.dir.file("report.txt"));
  EXPECT_EQ(report, plainReport);

  const auto doc = nlohmann::json::parse(readWholeFile(json));
  EXPECT_EQ(doc["exit_status"], 73);
  ASSERT_EQ(doc["runs"].size(), 1u);
  const auto& run = doc["runs"][0];
  EXPECT_EQ(run["parameter_file"], f.job.parameterFilePath);
  EXPECT_EQ(run["status"], 0);
  EXPECT_EQ(run["pairs_linked"], 2);
  EXPECT_EQ(run["pairs_skipped"], 1);
  ASSERT_EQ(run["pairs"].size(), 3u);

  const auto& first = run["pairs"][0];
  EXPECT_EQ(first["entry"], 1);
  EXPECT_EQ(first["result"], "linked");
  EXPECT_EQ(first["from_file"], f.dir.file("from.txt"));
  EXPECT_EQ(first["to_file"], f.dir.file("to.txt"));
  EXPECT_TRUE(first["empirical_file"].is_null());
  EXPECT_EQ(first["model"], 3);
  EXPECT_EQ(first["dimension"], 1);
  EXPECT_EQ(first["items"], 2);
  EXPECT_EQ(first["points"], 11);
  // The report prints the criterion in %e and the values in %f.
  const std::vector<double> printed = reportValues(report, 0);
  ASSERT_EQ(printed.size(), 3u);
  const double criterion = first["criterion_at_end"];
  EXPECT_NEAR(criterion, printed[0], 1e-6 * std::fabs(printed[0]) + 1e-300);
  EXPECT_NEAR(first["M"][0][0].get<double>(), printed[1], 1e-6);
  EXPECT_NEAR(first["t"][0].get<double>(), printed[2], 1e-6);
  EXPECT_EQ(first["reported"][0], first["M"][0][0]);
  // A and b are the inverse: theta_From = A theta_To + b.
  const double m = first["M"][0][0], t = first["t"][0], a = first["A"][0][0], b = first["b"][0];
  EXPECT_NEAR(a * m, 1.0, 1e-12);
  EXPECT_NEAR(a * t + b, 0.0, 1e-12);
  EXPECT_NEAR(m, 0.5, 1e-4);  // the worked example's To scale is 0.5 theta - 0.5
  EXPECT_NEAR(t, -0.5, 1e-4);
  const double atIdentity = first["criterion_at_identity"], atStart = first["criterion_at_start"];
  EXPECT_GT(atIdentity, atStart);
  EXPECT_GE(atStart, criterion);
  EXPECT_GE(first["search"]["cycles"].get<int>(), 1);
  EXPECT_GE(first["search"]["evaluations"].get<int>(), first["search"]["cycles"].get<int>());
  EXPECT_GE(first["seconds"].get<double>(), 0.0);

  const auto& skipped = run["pairs"][1];
  EXPECT_EQ(skipped["entry"], 2);
  EXPECT_EQ(skipped["result"], "skipped");
  EXPECT_EQ(skipped["status"], 1);
  EXPECT_EQ(skipped["message"], "No such file: " + f.dir.file("gone.txt"));
  EXPECT_TRUE(skipped["M"].is_null());
  EXPECT_TRUE(skipped["criterion_at_end"].is_null());
  EXPECT_EQ(run["pairs"][2]["entry"], 3);
}

TEST(ResultsFile, ModelOneHasNoSearchAndAFileThatCannotBeWrittenIsSaid) {
  LinkingFixture f;
  f.writeWorkedExample();
  f.writeParameters(gridKeys(1, 1, 11, "AD"), {"1= from.txt to.txt"});
  const LinkProcess ran =
      runTorvakLink(f.dir, "--results " + f.dir.file("r.json") + " " + f.job.parameterFilePath);
  EXPECT_EQ(ran.exitCode, 0) << ran.err;
  const auto pair =
      nlohmann::json::parse(readWholeFile(f.dir.file("r.json")))["runs"][0]["pairs"][0];
  EXPECT_TRUE(pair["search"].is_null());
  EXPECT_TRUE(pair["criterion_at_start"].is_null());
  EXPECT_EQ(pair["criterion_at_end"], 0.0);
  EXPECT_GT(pair["criterion_at_identity"].get<double>(), 0.0);

  const LinkProcess unwritten = runTorvakLink(
      f.dir, "--results " + f.dir.file("no/such/folder/r.json") + " " + f.job.parameterFilePath);
  EXPECT_EQ(unwritten.exitCode, 75);
  EXPECT_NE(unwritten.err.find("results not written: "), std::string::npos) << unwritten.err;
}

TEST(ResultsFile, DiagnosticsAndLeftOutItemsGoToTheJsonAndTheCsv) {
  LinkingFixture f;
  f.writeItems("from.txt", {{1.0, 0.0}, {2.0, 0.5}, {1.5, -1.0}, {0.8, 1.0}, {1.2, 0.2}});
  f.writeItems("to.txt", {{2.0, 1.0}, {4.1, 2.0}, {3.0, -1.0}, {1.6, 3.1}, {2.5, 1.4}});
  f.writeParameters(gridKeys(4, 1, 11, "AD"), {"1= from.txt to.txt"});
  const LinkProcess plain = runTorvakLink(f.dir, f.job.parameterFilePath);
  const std::string json = f.dir.file("results.json"), csv = f.dir.file("items.csv");
  const LinkProcess ran = runTorvakLink(f.dir, "--se jackknife --exclude 2 --results " + json +
                                                   " --diagnostics " + csv + " " +
                                                   f.job.parameterFilePath);
  ASSERT_EQ(ran.exitCode, 0) << ran.err;
  EXPECT_NE(ran.out, plain.out);  // item 2 is left out of the link

  const auto pair = nlohmann::json::parse(readWholeFile(json))["runs"][0]["pairs"][0];
  EXPECT_EQ(pair["excluded_items"], nlohmann::json::array({2}));
  const auto& items = pair["item_diagnostics"];
  ASSERT_EQ(items.size(), pair["items"].get<std::size_t>());
  EXPECT_EQ(items[1]["item"], 3);
  EXPECT_EQ(pair["standard_errors"]["method"], "jackknife");
  EXPECT_EQ(pair["standard_errors"]["replications"], items.size());

  // One header, two estimate rows (M and t), one row per item.
  const std::string table = readWholeFile(csv);
  EXPECT_EQ(static_cast<std::size_t>(std::count(table.begin(), table.end(), '\n')),
            1 + 2 + items.size());
  EXPECT_EQ(table.rfind("run,parameter_file,pair,entry,", 0), 0u);
}
