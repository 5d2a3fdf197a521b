#include "report/results_json.h"

#include <nlohmann/json.hpp>

#include "params/replace_file.h"

namespace {

// Keys stay in the order written here, which the README follows.
using json = nlohmann::ordered_json;

// A d x d matrix, row by row, as rows; null when there is none.
json matrixJson(const std::vector<double>& values, int d) {
  if (values.empty() || d <= 0) return nullptr;
  json rows = json::array();
  for (int r = 0; r < d; ++r) {
    rows.push_back(std::vector<double>(values.begin() + r * d, values.begin() + (r + 1) * d));
  }
  return rows;
}

json vectorJson(const std::vector<double>& values) {
  if (values.empty()) return nullptr;
  return values;
}

json optionalJson(const std::optional<double>& value) {
  if (!value) return nullptr;
  return *value;  // a NaN is written as null
}

json textJson(const std::string& text) {
  if (text.empty()) return nullptr;
  return text;
}

const char* resultName(PairOutcome::Result result) {
  switch (result) {
    case PairOutcome::Result::Linked:
      return "linked";
    case PairOutcome::Result::Skipped:
      return "skipped";
    case PairOutcome::Result::Failed:
      return "failed";
  }
  return "failed";
}

json itemSideJson(const std::vector<double>& slopes, double intercept,
                 const std::optional<double>& asymptote) {
  json side = {{"slopes", slopes}, {"intercept", intercept}};
  if (asymptote) side["asymptote"] = *asymptote;
  return side;
}

json itemJson(const ItemDiagnostic& item) {
  std::vector<double> slopeDifferences(item.toSlopes.size());
  for (std::size_t k = 0; k < slopeDifferences.size(); ++k) {
    slopeDifferences[k] = item.slopeDifference(k);
  }
  json row = {
      {"item", item.item},
      {"to", itemSideJson(item.toSlopes, item.toIntercept, item.toAsymptote)},
      {"from", itemSideJson(item.fromSlopes, item.fromIntercept, item.fromAsymptote)},
      {"from_transformed", itemSideJson(item.transformedSlopes, item.transformedIntercept, {})},
      {"slope_differences", slopeDifferences},
      {"intercept_difference", item.interceptDifference()},
      {"share", optionalJson(item.share)},
      {"rmsd", item.rmsd},
      {"max_difference", item.maxDifference},
      {"flagged", item.flagged},
  };
  if (item.categories > 2) {
    // A polytomous item: its model, its categories and all its intercepts d_1 .. d_(m-1).
    auto all = [](double first, const std::vector<double>& rest) {
      std::vector<double> values{first};
      values.insert(values.end(), rest.begin(), rest.end());
      return values;
    };
    row["model"] = item.kind;
    row["categories"] = item.categories;
    row["to"]["intercepts"] = all(item.toIntercept, item.toRest);
    row["from"]["intercepts"] = all(item.fromIntercept, item.fromRest);
    row["from_transformed"]["intercepts"] = all(item.transformedIntercept, item.transformedRest);
  }
  return row;
}

json standardErrorsJson(const std::optional<StandardErrors>& errors, int d) {
  if (!errors) return nullptr;
  const bool bootstrap = errors->method == StandardErrors::Method::Bootstrap;
  return {
      {"method", bootstrap ? "bootstrap" : "jackknife"},
      {"replications", errors->replications},
      {"failed", errors->failed},
      {"seed", bootstrap ? json(errors->seed) : json(nullptr)},
      {"M", matrixJson(errors->M, d)},
      {"t", vectorJson(errors->t)},
      {"M_lower", matrixJson(errors->lowerM, d)},
      {"M_upper", matrixJson(errors->upperM, d)},
      {"t_lower", vectorJson(errors->lowerT)},
      {"t_upper", vectorJson(errors->upperT)},
  };
}

json pairJson(const PairOutcome& p, int ordinal) {
  const bool linked = p.result == PairOutcome::Result::Linked;
  json pair = {
      {"pair", ordinal},
      {"entry", p.entry},
      {"result", resultName(p.result)},
      {"status", p.status},
      {"message", textJson(p.message)},
      {"from_file", p.fromFile},
      {"to_file", p.toFile},
      {"empirical_file", textJson(p.empiricalFile)},
      {"model", p.model},
      {"parameterization", p.parameterization},
      {"dimension", p.dimension},
      {"items", p.items},
      {"points", p.points},
      {"M", matrixJson(p.M, p.dimension)},
      {"t", vectorJson(p.t)},
      {"A", matrixJson(p.A, p.dimension)},
      {"b", vectorJson(p.b)},
      {"reported", vectorJson(p.reported)},
      {"conversion_problems", p.conversionProblems},
      {"criterion_at_identity", optionalJson(p.criterionAtIdentity)},
      {"criterion_at_start", optionalJson(p.criterionAtStart)},
      {"criterion_at_end", linked ? json(p.criterion) : json(nullptr)},
      {"search", nullptr},
      {"seconds", p.seconds},
  };
  pair["excluded_items"] = p.excludedItems;
  pair["drift_cutoff"] = optionalJson(p.driftCutoff);
  pair["theta_range"] = nullptr;
  if (p.thetaRange) pair["theta_range"] = {p.thetaRange->first, p.thetaRange->second};
  pair["item_diagnostics"] = json::array();
  for (const ItemDiagnostic& item : p.itemDiagnostics) {
    pair["item_diagnostics"].push_back(itemJson(item));
  }
  pair["standard_errors"] = standardErrorsJson(p.standardErrors, p.dimension);
  pair["diagnostics_note"] = textJson(p.diagnosticsNote);
  if (p.search) {
    pair["search"] = {{"status", p.search->status},
                      {"cycles", p.search->cycles},
                      {"steps", p.search->steps},
                      {"evaluations", p.search->evaluations},
                      {"restarted", p.search->restarted}};
  }
  return pair;
}

json runJson(const RunResults& run) {
  json pairs = json::array();
  for (std::size_t i = 0; i < run.pairs.size(); ++i) {
    pairs.push_back(pairJson(run.pairs[i], static_cast<int>(i + 1)));
  }
  return {
      {"parameter_file", run.parameterFile},
      {"status", run.status},
      {"pairs_linked", run.pairsWith(PairOutcome::Result::Linked)},
      {"pairs_skipped", run.pairsWith(PairOutcome::Result::Skipped)},
      {"pairs_failed", run.pairsWith(PairOutcome::Result::Failed)},
      {"report_blocks_not_written", run.reportBlocksNotWritten},
      {"messages", run.messages},
      {"pairs", pairs},
  };
}

}  // namespace

std::string formatResultsJson(const std::vector<RunResults>& runs, int exitStatus) {
  json document = {{"format", "torvak-link results"},
                   {"format_version", 1},
                   {"exit_status", exitStatus},
                   {"runs", json::array()}};
  for (const RunResults& run : runs) document["runs"].push_back(runJson(run));
  // Replace bytes that are not UTF-8 (a file name, a message) rather than fail.
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string writeResultsFile(const std::string& path, const std::vector<RunResults>& runs,
                             int exitStatus) {
  return replaceFileContents(path, formatResultsJson(runs, exitStatus));
}
