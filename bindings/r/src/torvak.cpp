// The package's entry points: a link of item arrays and the run of a parameter file, over the
// core's file-free entry point. The R functions in R/ shape the tables; here the arrays go in
// and the run's numbers come out.
//
// The core links on a thread of its own and polls for an interrupt on this (R's main) thread,
// so the poll may call R: a pending Ctrl-C stops the run, and once it has ended the interrupt
// is passed on to R.
#include <Rcpp.h>
#include <R_ext/Rdynload.h>

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

ItemArrays itemArrays(const Rcpp::List& items) {
  ItemArrays arrays;
  arrays.slopes = rowByRow(Rcpp::as<Rcpp::NumericMatrix>(items["slopes"]));
  arrays.intercepts = Rcpp::as<std::vector<double>>(items["intercepts"]);
  arrays.guessing = Rcpp::as<std::vector<double>>(items["guessing"]);
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
                                   SEXP threads) {
  BEGIN_RCPP
  LinkInput input;
  input.settings = linkingSettings(Rcpp::List(settingsList));
  input.from = itemArrays(Rcpp::List(fromList));
  input.to = itemArrays(Rcpp::List(toList));
  if (!Rf_isNull(theta)) input.theta = rowByRow(Rcpp::NumericMatrix(theta));
  const ArrayLinkResult result = linkArrays(std::move(input), evaluationOptions(threads),
                                            interruptPending, "torvak_link");
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
      Rcpp::Named("message") = p.message, Rcpp::Named("seconds") = p.seconds);
  END_RCPP
}

// The run's results document (the one --results writes); a run that failed is an error.
extern "C" SEXP torvak_run_file(SEXP path, SEXP threads) {
  BEGIN_RCPP
  bool stopped = false;
  std::vector<RunResults> runs{runParameterFileQuietly(Rcpp::as<std::string>(path),
                                                       evaluationOptions(threads),
                                                       interruptPending, stopped)};
  if (stopped) passInterruptOn();
  if (runs[0].status != 0) Rcpp::stop(runMessages(runs[0]));
  return Rcpp::wrap(formatResultsJson(runs, exitCodeForRuns(runs, false)));
  END_RCPP
}

extern "C" void R_init_torvak(DllInfo* dll) {
  static const R_CallMethodDef methods[] = {
      {"torvak_link_arrays", reinterpret_cast<DL_FUNC>(&torvak_link_arrays), 5},
      {"torvak_run_file", reinterpret_cast<DL_FUNC>(&torvak_run_file), 2},
      {nullptr, nullptr, 0}};
  R_registerRoutines(dll, nullptr, methods, nullptr, nullptr);
  R_useDynamicSymbols(dll, FALSE);
}
