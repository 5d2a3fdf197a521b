// The package's entry points: a link of item arrays and the run of a parameter file, over the
// core's file-free entry point. The R functions in R/ shape the tables; here the arrays go in
// and the run's numbers come out.
//
// The core links on a thread of its own and polls for an interrupt on this (R's main) thread,
// so the poll may call R: a pending Ctrl-C stops the run, and once it has ended the interrupt
// is passed on to R.
#include <Rcpp.h>
#include <R_ext/Rdynload.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "jobs/link_arrays.h"
#include "report/results_json.h"

namespace {

void checkInterrupt(void*) { R_CheckUserInterrupt(); }

// Whether Ctrl-C was pressed. R_CheckUserInterrupt jumps out when it was; R_ToplevelExec
// catches the jump and answers FALSE.
bool interruptPending() { return R_ToplevelExec(checkInterrupt, nullptr) == FALSE; }

// Ends the call with an R interrupt (after every C++ object of the call is gone).
[[noreturn]] void passInterruptOn() { throw Rcpp::internal::InterruptedException(); }

// An n x k R matrix, row by row.
std::vector<double> rowByRow(const Rcpp::NumericMatrix& m) {
  const R_xlen_t n = m.nrow(), k = m.ncol();
  std::vector<double> values(static_cast<std::size_t>(n * k));
  for (R_xlen_t i = 0; i < n; ++i) {
    for (R_xlen_t j = 0; j < k; ++j) values[static_cast<std::size_t>(i * k + j)] = m(i, j);
  }
  return values;
}

// The categories of polytomous items: kinds (0 dichotomous, 1 graded, 2 partial credit), counts
// and the intercepts d2 .. of every item in item order. The R functions have checked them; a
// count and rest that do not fit are refused here all the same, before they are read.
ItemCategories itemCategories(const Rcpp::List& c) {
  const auto kinds = Rcpp::as<std::vector<int>>(c["kinds"]);
  const auto counts = Rcpp::as<std::vector<int>>(c["counts"]);
  const auto rest = Rcpp::as<std::vector<double>>(c["rest"]);
  if (kinds.size() != counts.size()) Rcpp::stop("categories: kinds and counts differ in length");
  ItemCategories categories;
  std::size_t at = 0;
  for (std::size_t j = 0; j < kinds.size(); ++j) {
    const int m = counts[j];
    const std::size_t more = m > 2 ? static_cast<std::size_t>(m - 2) : 0;
    if (kinds[j] < 0 || kinds[j] > 2 || m < 2 || m > kMostCategories || at + more > rest.size()) {
      Rcpp::stop("categories: item " + std::to_string(j + 1) + " has no kind and count that fit");
    }
    categories.add(static_cast<ItemKind>(kinds[j]), m, rest.data() + at);
    at += more;
  }
  if (at != rest.size()) Rcpp::stop("categories: more intercepts than the items have");
  return categories;
}

ItemArrays itemArrays(const Rcpp::List& items) {
  ItemArrays arrays;
  arrays.slopes = rowByRow(Rcpp::as<Rcpp::NumericMatrix>(items["slopes"]));
  arrays.intercepts = Rcpp::as<std::vector<double>>(items["intercepts"]);
  arrays.guessing = Rcpp::as<std::vector<double>>(items["guessing"]);
  if (items.containsElementNamed("categories") && !Rf_isNull(items["categories"])) {
    arrays.categories = itemCategories(Rcpp::List(items["categories"]));
  }
  return arrays;
}

LinkingSettings linkingSettings(const Rcpp::List& s) {
  LinkingSettings settings;
  settings.Model_Type = Rcpp::as<int>(s["model"]);
  settings.Parameterization = 1;
  settings.Theta_Dimension = Rcpp::as<int>(s["dimension"]);
  settings.Number_Of_Grid = Rcpp::as<int>(s["grid"]);
  settings.Range_Begin = Rcpp::as<double>(s["range_begin"]);
  settings.Range_End = Rcpp::as<double>(s["range_end"]);
  settings.Weighing_Method = Rcpp::as<int>(s["weighing"]);
  settings.fromFile.fileType = Rcpp::as<int>(s["from_type"]);
  settings.toFile.fileType = Rcpp::as<int>(s["to_type"]);
  settings.Search_Method = Rcpp::as<int>(s["search_method"]);
  settings.Tolerance = Rcpp::as<double>(s["tolerance"]);
  settings.Number_Change_Direction = Rcpp::as<int>(s["change_directions"]);
  settings.Number_Step = Rcpp::as<int>(s["steps"]);
  settings.Initial_Step_Length = Rcpp::as<double>(s["step_length"]);
  return settings;
}

EvaluationOptions evaluationOptions(SEXP threads) {
  EvaluationOptions evaluation;
  evaluation.threads = Rcpp::as<int>(threads);
  return evaluation;
}

SEXP numbers(const std::vector<double>& values) {
  return Rcpp::NumericVector(values.begin(), values.end());
}

SEXP optionalNumber(const std::optional<double>& value) {
  return Rcpp::NumericVector::create(value ? *value : NA_REAL);
}

SEXP searchCounts(const std::optional<SearchCounts>& search) {
  if (!search) return R_NilValue;
  return Rcpp::List::create(Rcpp::Named("status") = search->status,
                            Rcpp::Named("cycles") = static_cast<double>(search->cycles),
                            Rcpp::Named("steps") = static_cast<double>(search->steps),
                            Rcpp::Named("evaluations") = static_cast<double>(search->evaluations),
                            Rcpp::Named("restarted") = search->restarted);
}

// The diagnostics the R functions ask for (checked there): exclude, item_diagnostics,
// drift_cutoff, errors ("none", "jackknife" or "bootstrap"), replications and seed.
DiagnosticsOptions diagnosticsOptions(const Rcpp::List& d) {
  DiagnosticsOptions options;
  for (double item : Rcpp::as<std::vector<double>>(d["exclude"])) {
    options.excludedItems.push_back(static_cast<long long>(item));
  }
  std::sort(options.excludedItems.begin(), options.excludedItems.end());
  options.excludedItems.erase(
      std::unique(options.excludedItems.begin(), options.excludedItems.end()),
      options.excludedItems.end());
  options.itemDiagnostics = Rcpp::as<bool>(d["item_diagnostics"]);
  options.driftCutoff = Rcpp::as<double>(d["drift_cutoff"]);
  const auto errors = Rcpp::as<std::string>(d["errors"]);
  if (errors == "jackknife") options.errors = DiagnosticsOptions::Errors::Jackknife;
  if (errors == "bootstrap") options.errors = DiagnosticsOptions::Errors::Bootstrap;
  options.bootstrapReplications = Rcpp::as<int>(d["replications"]);
  options.seed = static_cast<unsigned long long>(Rcpp::as<double>(d["seed"]));
  return options;
}

template <typename Field>
Rcpp::NumericVector itemColumn(const std::vector<ItemDiagnostic>& items, Field field) {
  Rcpp::NumericVector out(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) out[i] = field(items[i]);
  return out;
}

// items x d values of one field of each item.
template <typename Field>
Rcpp::NumericMatrix itemMatrix(const std::vector<ItemDiagnostic>& items, int d, Field field) {
  Rcpp::NumericMatrix out(static_cast<int>(items.size()), d);
  for (std::size_t i = 0; i < items.size(); ++i) {
    for (int k = 0; k < d; ++k) out(static_cast<int>(i), k) = field(items[i], k);
  }
  return out;
}

// The item diagnostics as columns; differences are transformed minus To, as --results has them.
// A dichotomous item's model is "dichotomous" (--results names only polytomous items' models).
SEXP itemColumns(const std::vector<ItemDiagnostic>& items, int d) {
  using Item = const ItemDiagnostic&;
  Rcpp::LogicalVector flagged(items.size());
  Rcpp::CharacterVector model(items.size());
  Rcpp::IntegerVector categories(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    flagged[i] = items[i].flagged;
    model[i] = items[i].kind.empty() ? "dichotomous" : items[i].kind;
    categories[i] = items[i].categories;
  }
  return Rcpp::List::create(
      Rcpp::Named("item") = itemColumn(items, [](Item i) { return double(i.item); }),
      Rcpp::Named("model") = model, Rcpp::Named("categories") = categories,
      Rcpp::Named("rmsd") = itemColumn(items, [](Item i) { return i.rmsd; }),
      Rcpp::Named("max_difference") = itemColumn(items, [](Item i) { return i.maxDifference; }),
      Rcpp::Named("share") = itemColumn(items, [](Item i) { return i.share.value_or(NA_REAL); }),
      Rcpp::Named("flagged") = flagged,
      Rcpp::Named("intercept_to") = itemColumn(items, [](Item i) { return i.toIntercept; }),
      Rcpp::Named("intercept_transformed") =
          itemColumn(items, [](Item i) { return i.transformedIntercept; }),
      Rcpp::Named("intercept_difference") =
          itemColumn(items, [](Item i) { return i.interceptDifference(); }),
      Rcpp::Named("slope_to") = itemMatrix(items, d, [](Item i, int k) { return i.toSlopes[k]; }),
      Rcpp::Named("slope_transformed") =
          itemMatrix(items, d, [](Item i, int k) { return i.transformedSlopes[k]; }),
      Rcpp::Named("slope_difference") = itemMatrix(
          items, d, [](Item i, int k) { return i.slopeDifference(k); }));
}

SEXP standardErrors(const std::optional<StandardErrors>& errors) {
  if (!errors) return R_NilValue;
  const bool bootstrap = errors->method == StandardErrors::Method::Bootstrap;
  return Rcpp::List::create(
      Rcpp::Named("method") = bootstrap ? "bootstrap" : "jackknife",
      Rcpp::Named("replications") = errors->replications,
      Rcpp::Named("failed") = errors->failed,
      Rcpp::Named("seed") = bootstrap ? static_cast<double>(errors->seed) : NA_REAL,
      Rcpp::Named("M") = numbers(errors->M), Rcpp::Named("t") = numbers(errors->t),
      Rcpp::Named("M_lower") = numbers(errors->lowerM),
      Rcpp::Named("M_upper") = numbers(errors->upperM),
      Rcpp::Named("t_lower") = numbers(errors->lowerT),
      Rcpp::Named("t_upper") = numbers(errors->upperT));
}

// Every message of a run that did not go through, one per line.
std::string runMessages(const RunResults& run) {
  std::string text;
  for (const std::string& message : run.messages) text += message + "\n";
  for (const PairOutcome& pair : run.pairs) text += pair.message;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  if (text.empty()) text = "the run ended with status " + std::to_string(run.status);
  return text;
}

}  // namespace

extern "C" SEXP torvak_link_arrays(SEXP settingsList, SEXP fromList, SEXP toList, SEXP theta,
                                   SEXP threads, SEXP diagnostics) {
  BEGIN_RCPP
  LinkInput input;
  input.settings = linkingSettings(Rcpp::List(settingsList));
  input.from = itemArrays(Rcpp::List(fromList));
  input.to = itemArrays(Rcpp::List(toList));
  if (!Rf_isNull(theta)) input.theta = rowByRow(Rcpp::NumericMatrix(theta));
  const ArrayLinkResult result =
      linkArrays(std::move(input), evaluationOptions(threads), interruptPending, "torvak_link",
                 diagnosticsOptions(Rcpp::List(diagnostics)));
  if (result.interrupted) passInterruptOn();
  if (!result.error.empty()) Rcpp::stop(result.error);
  const PairOutcome& p = result.run.pairs.at(0);
  return Rcpp::List::create(
      Rcpp::Named("M") = numbers(p.M), Rcpp::Named("t") = numbers(p.t),
      Rcpp::Named("A") = numbers(p.A), Rcpp::Named("b") = numbers(p.b),
      Rcpp::Named("criterion") = p.criterion,
      Rcpp::Named("criterion_at_identity") = optionalNumber(p.criterionAtIdentity),
      Rcpp::Named("criterion_at_start") = optionalNumber(p.criterionAtStart),
      Rcpp::Named("search") = searchCounts(p.search),
      Rcpp::Named("items") = static_cast<double>(p.items),
      Rcpp::Named("points") = static_cast<double>(p.points),
      Rcpp::Named("conversion_problems") = p.conversionProblems,
      Rcpp::Named("message") = p.message, Rcpp::Named("seconds") = p.seconds,
      Rcpp::Named("excluded") = Rcpp::NumericVector(p.excludedItems.begin(),
                                                    p.excludedItems.end()),
      Rcpp::Named("item_diagnostics") = itemColumns(p.itemDiagnostics, p.dimension),
      Rcpp::Named("standard_errors") = standardErrors(p.standardErrors));
  END_RCPP
}

// The run's results document (the one --results writes); a run that failed is an error.
extern "C" SEXP torvak_run_file(SEXP path, SEXP threads, SEXP diagnostics) {
  BEGIN_RCPP
  bool stopped = false;
  std::vector<RunResults> runs{runParameterFileQuietly(
      Rcpp::as<std::string>(path), evaluationOptions(threads), interruptPending, stopped,
      diagnosticsOptions(Rcpp::List(diagnostics)))};
  if (stopped) passInterruptOn();
  if (runs[0].status != 0) Rcpp::stop(runMessages(runs[0]));
  return Rcpp::wrap(formatResultsJson(runs, exitCodeForRuns(runs, false)));
  END_RCPP
}

extern "C" void R_init_torvak(DllInfo* dll) {
  static const R_CallMethodDef methods[] = {
      {"torvak_link_arrays", reinterpret_cast<DL_FUNC>(&torvak_link_arrays), 6},
      {"torvak_run_file", reinterpret_cast<DL_FUNC>(&torvak_run_file), 3},
      {nullptr, nullptr, 0}};
  R_registerRoutines(dll, nullptr, methods, nullptr, nullptr);
  R_useDynamicSymbols(dll, FALSE);
}
