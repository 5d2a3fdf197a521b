// The diagnostics CSV: every row has the header's columns, and polytomous items add their model,
// categories and further intercepts without changing the table of dichotomous runs.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "report/diagnostics_csv.h"

namespace {

// Fields of each line; a quoted field (such as "M[1,1]") keeps its commas.
std::vector<std::vector<std::string>> rowsOf(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
      if (c == '"') {
        quoted = !quoted;
      } else if (c == ',' && !quoted) {
        fields.emplace_back();
      } else {
        fields.back() += c;
      }
    }
    rows.push_back(fields);
  }
  return rows;
}

ItemDiagnostic item(long long number, std::vector<double> toRest, std::vector<double> fromRest,
                    std::string kind) {
  ItemDiagnostic row;
  row.item = number;
  row.toSlopes = row.fromSlopes = row.transformedSlopes = {1.0};
  row.toIntercept = 0.5;
  row.transformedIntercept = 0.75;
  row.categories = static_cast<int>(toRest.size()) + 2;
  row.kind = std::move(kind);
  row.toRest = std::move(toRest);
  row.transformedRest = std::move(fromRest);
  row.fromRest = row.transformedRest;
  return row;
}

std::vector<RunResults> runOf(std::vector<ItemDiagnostic> items) {
  PairOutcome pair;
  pair.model = 4;
  pair.dimension = 1;
  pair.M = pair.A = {1.0};
  pair.t = pair.b = {0.0};
  pair.itemDiagnostics = std::move(items);
  RunResults run;
  run.parameterFile = "run.ini";
  run.pairs.push_back(pair);
  return {run};
}

}  // namespace

TEST(DiagnosticsCsv, PolytomousItemsAddTheirCategoriesAndDichotomousRunsKeepTheirColumns) {
  const auto dichotomous = rowsOf(formatDiagnosticsCsv(runOf({item(1, {}, {}, "")})));
  ASSERT_EQ(dichotomous.size(), 1u + 2u + 1u);
  EXPECT_EQ(dichotomous[0].back(), "slope_difference_1");

  const auto mixed = rowsOf(formatDiagnosticsCsv(runOf({
      item(1, {}, {}, ""),
      item(2, {-0.5}, {-0.25}, "graded"),
      item(3, {1.0, 2.0}, {1.5, 3.0}, "partial credit"),
  })));
  ASSERT_EQ(mixed.size(), 1u + 2u + 3u);
  const std::vector<std::string> tail = {"item_model",
                                         "categories",
                                         "intercept_to_2",
                                         "intercept_to_3",
                                         "intercept_transformed_2",
                                         "intercept_transformed_3",
                                         "intercept_difference_2",
                                         "intercept_difference_3"};
  const auto& header = mixed[0];
  ASSERT_EQ(header.size(), dichotomous[0].size() + tail.size());
  EXPECT_EQ(std::vector<std::string>(header.end() - tail.size(), header.end()), tail);
  for (const auto& row : mixed) EXPECT_EQ(row.size(), header.size()) << row[0];

  auto last = [&](std::size_t row) {
    return std::vector<std::string>(mixed[row].end() - tail.size(), mixed[row].end());
  };
  using Fields = std::vector<std::string>;
  EXPECT_EQ(last(1), Fields(tail.size()));  // an estimate row
  EXPECT_EQ(last(3), (Fields{"dichotomous", "2", "", "", "", "", "", ""}));
  EXPECT_EQ(last(4), (Fields{"graded", "3", "-0.5", "", "-0.25", "", "0.25", ""}));
  EXPECT_EQ(last(5), (Fields{"partial credit", "4", "1", "2", "1.5", "3", "0.5", "1"}));
}
