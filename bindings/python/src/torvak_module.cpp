// _torvak: the core's file-free entry point for Python. The torvak package turns item tables
// into the arrays taken here and the dict given back into a LinkResult.
//
// A run works with the GIL released; every 20 ms the core asks whether to stop, and the
// answer comes from Python's signal handlers, so Ctrl-C stops the run and raises
// KeyboardInterrupt once the core has let go of it.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "jobs/link_arrays.h"
#include "report/results_json.h"

namespace py = pybind11;

namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

std::vector<double> valuesOf(const Array& array) {
  return {array.data(), array.data() + array.size()};
}

// None or an array: no values (no guessing, no theta points).
std::vector<double> optionalValues(const py::object& object) {
  if (object.is_none()) return {};
  return valuesOf(object.cast<Array>());
}

// None, or (kinds, counts, rest): the kind of each item (0 dichotomous, 1 graded, 2 partial
// credit), its category count and the intercepts d2 .. of every item in item order. The torvak
// package has checked them; a count and rest that do not fit are refused before they are read.
ItemCategories categoriesOf(const py::object& object) {
  ItemCategories categories;
  if (object.is_none()) return categories;
  const auto parts = object.cast<py::tuple>();
  if (parts.size() != 3) throw py::value_error("categories: (kinds, counts, rest) wanted");
  const auto kinds = parts[0].cast<std::vector<int>>();
  const auto counts = parts[1].cast<std::vector<int>>();
  const std::vector<double> rest = valuesOf(parts[2].cast<Array>());
  if (kinds.size() != counts.size()) {
    throw py::value_error("categories: kinds and counts differ in length");
  }
  std::size_t at = 0;
  for (std::size_t j = 0; j < kinds.size(); ++j) {
    const int m = counts[j];
    const std::size_t more = m > 2 ? static_cast<std::size_t>(m - 2) : 0;
    if (kinds[j] < 0 || kinds[j] > 2 || m < 2 || m > kMostCategories || at + more > rest.size()) {
      throw py::value_error("categories: item " + std::to_string(j + 1) +
                            " has no kind and count that fit");
    }
    categories.add(static_cast<ItemKind>(kinds[j]), m, rest.data() + at);
    at += more;
  }
  if (at != rest.size()) throw py::value_error("categories: more intercepts than the items have");
  return categories;
}

py::object matrixOf(const std::vector<double>& values, int d) {
  if (values.empty() || d <= 0 || values.size() != static_cast<std::size_t>(d) * d) {
    return py::none();
  }
  Array matrix({d, d});
  std::copy(values.begin(), values.end(), matrix.mutable_data());
  return matrix;
}

py::object vectorOf(const std::vector<double>& values) {
  if (values.empty()) return py::none();
  Array vector(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), vector.mutable_data());
  return vector;
}

py::object optionalOf(const std::optional<double>& value) {
  if (!value) return py::none();
  return py::float_(*value);
}

// rows x d values of one field of each item, as a rows x d array.
template <typename Field>
Array itemMatrix(const std::vector<ItemDiagnostic>& items, int d, Field field) {
  Array out({static_cast<py::ssize_t>(items.size()), static_cast<py::ssize_t>(d)});
  double* at = out.mutable_data();
  for (const ItemDiagnostic& item : items) {
    for (int k = 0; k < d; ++k) *at++ = field(item, k);
  }
  return out;
}

template <typename T, typename Field>
py::array_t<T> itemColumn(const std::vector<ItemDiagnostic>& items, Field field) {
  py::array_t<T> out(static_cast<py::ssize_t>(items.size()));
  T* at = out.mutable_data();
  for (const ItemDiagnostic& item : items) *at++ = field(item);
  return out;
}

// The item diagnostics as columns; differences are transformed minus To, as --results has them.
// A dichotomous item's model is "dichotomous" (--results names only polytomous items' models).
py::dict itemColumns(const std::vector<ItemDiagnostic>& items, int d) {
  using Item = const ItemDiagnostic&;
  py::dict out;
  out["item"] = itemColumn<long long>(items, [](Item i) { return i.item; });
  py::list model;
  for (const ItemDiagnostic& item : items) {
    model.append(item.kind.empty() ? std::string("dichotomous") : item.kind);
  }
  out["model"] = std::move(model);
  out["categories"] = itemColumn<long long>(items, [](Item i) { return i.categories; });
  out["rmsd"] = itemColumn<double>(items, [](Item i) { return i.rmsd; });
  out["max_difference"] = itemColumn<double>(items, [](Item i) { return i.maxDifference; });
  out["share"] = itemColumn<double>(
      items, [](Item i) { return i.share.value_or(std::numeric_limits<double>::quiet_NaN()); });
  out["flagged"] = itemColumn<bool>(items, [](Item i) { return i.flagged; });
  out["intercept_to"] = itemColumn<double>(items, [](Item i) { return i.toIntercept; });
  out["intercept_transformed"] =
      itemColumn<double>(items, [](Item i) { return i.transformedIntercept; });
  out["intercept_difference"] = itemColumn<double>(
      items, [](Item i) { return i.interceptDifference(); });
  out["slope_to"] = itemMatrix(items, d, [](Item i, int k) { return i.toSlopes[k]; });
  out["slope_transformed"] =
      itemMatrix(items, d, [](Item i, int k) { return i.transformedSlopes[k]; });
  out["slope_difference"] = itemMatrix(
      items, d, [](Item i, int k) { return i.slopeDifference(k); });
  return out;
}

py::object standardErrorsDict(const std::optional<StandardErrors>& errors, int d) {
  if (!errors) return py::none();
  const bool bootstrap = errors->method == StandardErrors::Method::Bootstrap;
  py::dict out;
  out["method"] = bootstrap ? "bootstrap" : "jackknife";
  out["replications"] = errors->replications;
  out["failed"] = errors->failed;
  out["seed"] = bootstrap ? py::object(py::int_(errors->seed)) : py::object(py::none());
  out["M"] = matrixOf(errors->M, d);
  out["t"] = vectorOf(errors->t);
  out["M_lower"] = matrixOf(errors->lowerM, d);
  out["M_upper"] = matrixOf(errors->upperM, d);
  out["t_lower"] = vectorOf(errors->lowerT);
  out["t_upper"] = vectorOf(errors->upperT);
  return out;
}

// The pair outcome under the names of the --results document.
py::dict outcomeDict(const PairOutcome& p) {
  py::dict out;
  out["model"] = p.model;
  out["parameterization"] = p.parameterization;
  out["dimension"] = p.dimension;
  out["items"] = p.items;
  out["points"] = p.points;
  out["M"] = matrixOf(p.M, p.dimension);
  out["t"] = vectorOf(p.t);
  out["A"] = matrixOf(p.A, p.dimension);
  out["b"] = vectorOf(p.b);
  out["reported"] = vectorOf(p.reported);
  out["conversion_problems"] = p.conversionProblems;
  out["criterion_at_identity"] = optionalOf(p.criterionAtIdentity);
  out["criterion_at_start"] = optionalOf(p.criterionAtStart);
  out["criterion_at_end"] = p.criterion;
  if (p.search) {
    py::dict search;
    search["status"] = p.search->status;
    search["cycles"] = p.search->cycles;
    search["steps"] = p.search->steps;
    search["evaluations"] = p.search->evaluations;
    search["restarted"] = p.search->restarted;
    out["search"] = std::move(search);
  } else {
    out["search"] = py::none();
  }
  out["message"] = p.message.empty() ? py::object(py::none()) : py::str(p.message);
  out["seconds"] = p.seconds;
  out["excluded_items"] = py::cast(p.excludedItems);
  out["drift_cutoff"] = optionalOf(p.driftCutoff);
  out["theta_range"] =
      p.thetaRange ? py::object(py::make_tuple(p.thetaRange->first, p.thetaRange->second))
                   : py::object(py::none());
  out["item_diagnostics"] = itemColumns(p.itemDiagnostics, p.dimension);
  out["standard_errors"] = standardErrorsDict(p.standardErrors, p.dimension);
  return out;
}

// Polls Python's signal handlers for the core; keeps the exception a handler raised (Ctrl-C:
// KeyboardInterrupt) to raise it when the run is over. Called without the GIL.
class SignalPoll {
 public:
  std::function<bool()> callback() {
    return [this] {
      py::gil_scoped_acquire gil;
      if (PyErr_CheckSignals() == 0) return false;
      pending_.emplace();  // takes the error a handler set
      return true;
    };
  }
  // With the GIL held, after the run.
  void raiseIfInterrupted() {
    if (pending_) throw *pending_;
  }

 private:
  std::optional<py::error_already_set> pending_;
};

// The diagnostics the torvak package asks for: a dict of exclude (item numbers from 1),
// item_diagnostics, drift_cutoff, errors ("none", "jackknife" or "bootstrap"), replications and
// seed; a key left out keeps its default. The package has checked the values.
DiagnosticsOptions diagnosticsOf(const py::object& given) {
  DiagnosticsOptions options;
  if (given.is_none()) return options;
  const auto d = given.cast<py::dict>();
  if (d.contains("exclude")) {
    auto items = d["exclude"].cast<std::vector<long long>>();
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    options.excludedItems = std::move(items);
  }
  if (d.contains("item_diagnostics")) options.itemDiagnostics = d["item_diagnostics"].cast<bool>();
  if (d.contains("drift_cutoff")) options.driftCutoff = d["drift_cutoff"].cast<double>();
  if (d.contains("errors")) {
    const auto errors = d["errors"].cast<std::string>();
    if (errors == "jackknife") {
      options.errors = DiagnosticsOptions::Errors::Jackknife;
    } else if (errors == "bootstrap") {
      options.errors = DiagnosticsOptions::Errors::Bootstrap;
    } else if (errors != "none") {
      throw py::value_error("errors='" + errors + "'; it is 'none', 'jackknife' or 'bootstrap'");
    }
  }
  if (d.contains("replications")) options.bootstrapReplications = d["replications"].cast<int>();
  if (d.contains("seed")) options.seed = d["seed"].cast<unsigned long long>();
  return options;
}

py::dict linkArraysPy(int model, int dimension, const Array& fromSlopes,
                      const Array& fromIntercepts, const py::object& fromGuessing,
                      const Array& toSlopes, const Array& toIntercepts,
                      const py::object& toGuessing, const py::object& theta, int grid,
                      double rangeBegin, double rangeEnd, int weights, bool fromNormal,
                      bool toNormal, int searchMethod, double tolerance, int changeDirections,
                      int steps, double stepLength, int threads,
                      const py::object& diagnostics, const py::object& fromCategories,
                      const py::object& toCategories) {
  LinkInput input;
  LinkingSettings& s = input.settings;
  s.Model_Type = model;
  s.Theta_Dimension = dimension;
  s.Number_Of_Grid = grid;
  s.Range_Begin = rangeBegin;
  s.Range_End = rangeEnd;
  s.Weighing_Method = weights;
  s.fromFile.fileType = fromNormal ? -1 : 0;
  s.toFile.fileType = toNormal ? -1 : 0;
  s.Search_Method = searchMethod;
  s.Tolerance = tolerance;
  s.Number_Change_Direction = changeDirections;
  s.Number_Step = steps;
  s.Initial_Step_Length = stepLength;
  input.from.slopes = valuesOf(fromSlopes);
  input.from.intercepts = valuesOf(fromIntercepts);
  input.from.guessing = optionalValues(fromGuessing);
  input.from.categories = categoriesOf(fromCategories);
  input.to.slopes = valuesOf(toSlopes);
  input.to.intercepts = valuesOf(toIntercepts);
  input.to.guessing = optionalValues(toGuessing);
  input.to.categories = categoriesOf(toCategories);
  input.theta = optionalValues(theta);

  if (std::string problem = linkInputProblem(input); !problem.empty()) {
    throw py::value_error(problem);
  }
  const DiagnosticsOptions options = diagnosticsOf(diagnostics);
  EvaluationOptions evaluation;
  evaluation.threads = threads;
  SignalPoll poll;
  ArrayLinkResult result;
  {
    py::gil_scoped_release release;
    result = linkArrays(std::move(input), evaluation, poll.callback(), "torvak", options);
  }
  poll.raiseIfInterrupted();
  if (!result.error.empty()) throw std::runtime_error(result.error);
  if (result.run.pairs.empty()) throw std::runtime_error("the run linked no pair");
  return outcomeDict(result.run.pairs.front());
}

std::string runPy(const std::string& path, int threads, const py::object& diagnostics) {
  const DiagnosticsOptions options = diagnosticsOf(diagnostics);
  EvaluationOptions evaluation;
  evaluation.threads = threads;
  SignalPoll poll;
  bool stopped = false;
  std::vector<RunResults> runs;
  {
    py::gil_scoped_release release;
    runs.push_back(
        runParameterFileQuietly(path, evaluation, poll.callback(), stopped, options));
  }
  poll.raiseIfInterrupted();
  return formatResultsJson(runs, exitCodeForRuns(runs, stopped));
}

}  // namespace

PYBIND11_MODULE(_torvak, m) {
  m.doc() = "Links two calibrations of multidimensional 3PL, graded and partial credit items "
            "onto one scale (low level; use the torvak package).";
  m.attr("__version__") = TORVAK_VERSION;
  m.def("link_arrays", &linkArraysPy, py::arg("model"), py::arg("dimension"),
        py::arg("from_slopes"), py::arg("from_intercepts"), py::arg("from_guessing"),
        py::arg("to_slopes"), py::arg("to_intercepts"), py::arg("to_guessing"),
        py::arg("theta") = py::none(), py::arg("grid") = 11, py::arg("range_begin") = -4.0,
        py::arg("range_end") = 4.0, py::arg("weights") = 0, py::arg("from_normal") = false,
        py::arg("to_normal") = false, py::arg("search_method") = 0,
        py::arg("tolerance") = 1e-8, py::arg("change_directions") = 15, py::arg("steps") = 8,
        py::arg("step_length") = 1.0, py::arg("threads") = 0,
        py::arg("diagnostics") = py::none(), py::arg("from_categories") = py::none(),
        py::arg("to_categories") = py::none(),
        "Links one pair given as arrays (slopes items x dimension, row by row; guessing and "
        "theta may be None; theta points x dimension with grid 0). diagnostics: None or a "
        "dict of exclude, item_diagnostics, drift_cutoff, errors, replications, seed. "
        "from_categories, to_categories: None (dichotomous items) or (kinds, counts, rest): "
        "per item 0 dichotomous, 1 graded or 2 partial credit and its category count, and "
        "the intercepts d2 .. of every item in item order (an item's d1 is its intercept). "
        "Returns the pair's outcome as a dict; ValueError for input that cannot be linked, "
        "RuntimeError when the run fails, KeyboardInterrupt on Ctrl-C.");
  m.def("run", &runPy, py::arg("path"), py::arg("threads") = 0,
        py::arg("diagnostics") = py::none(),
        "Runs a linking parameter file as torvak-link does; returns the --results document "
        "(JSON text). diagnostics as for link_arrays.");
}
