#include "results/results_record.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

using json = nlohmann::json;

constexpr const char* kFormat = "torvak-link results";
constexpr int kFormatVersion = 1;

// A problem at a place in the document ("runs[0].pairs[1].M"); caught at the boundary.
struct Refusal {
  std::string where;
  std::string what;
};

std::string indexed(const std::string& where, std::size_t i) {
  return where + "[" + std::to_string(i) + "]";
}

std::string member(const std::string& where, const char* key) {
  return where.empty() ? std::string(key) : where + "." + key;
}

// The value under key, or null when the key is missing.
const json& field(const json& object, const char* key) {
  static const json missing;
  const auto found = object.find(key);
  return found == object.end() ? missing : *found;
}

double number(const json& value, const std::string& where) {
  if (value.is_null()) return std::numeric_limits<double>::quiet_NaN();
  if (!value.is_number()) throw Refusal{where, "not a number"};
  return value.get<double>();
}

std::optional<double> optionalNumber(const json& value, const std::string& where) {
  if (value.is_null()) return std::nullopt;
  return number(value, where);
}

long long integer(const json& value, const std::string& where) {
  if (!value.is_number_integer()) throw Refusal{where, "not a whole number"};
  return value.get<long long>();
}

std::string text(const json& value, const std::string& where) {
  if (value.is_null()) return {};
  if (!value.is_string()) throw Refusal{where, "not a text"};
  return value.get<std::string>();
}

const json& object(const json& value, const std::string& where) {
  if (!value.is_object()) throw Refusal{where, "not an object"};
  return value;
}

const json& array(const json& value, const std::string& where) {
  if (!value.is_array()) throw Refusal{where, "not a list"};
  return value;
}

// A list of size numbers; null (or missing) gives an empty vector when optional.
std::vector<double> numberList(const json& value, const std::string& where, int size, bool optional) {
  if (value.is_null() && optional) return {};
  if (!value.is_array() || value.size() != static_cast<std::size_t>(size)) {
    throw Refusal{where, "not a list of " + std::to_string(size) + " numbers"};
  }
  std::vector<double> result;
  for (std::size_t i = 0; i < value.size(); ++i) result.push_back(number(value[i], indexed(where, i)));
  return result;
}

RowMatrix squareMatrix(const json& value, const std::string& where, int d, bool optional) {
  if (value.is_null() && optional) return {};
  const std::string shape = std::to_string(d) + " x " + std::to_string(d);
  if (!value.is_array() || value.size() != static_cast<std::size_t>(d)) {
    throw Refusal{where, "not a " + shape + " matrix (a list of " + std::to_string(d) + " rows)"};
  }
  RowMatrix rows;
  for (std::size_t r = 0; r < value.size(); ++r) {
    rows.push_back(numberList(value[r], indexed(where, r), d, false));
  }
  return rows;
}

ResultsItemParameters itemParameters(const json& value, const std::string& where, int d,
                                     bool withAsymptote) {
  object(value, where);
  ResultsItemParameters p;
  p.slopes = numberList(field(value, "slopes"), member(where, "slopes"), d, false);
  p.intercept = number(field(value, "intercept"), member(where, "intercept"));
  if (withAsymptote) p.asymptote = number(field(value, "asymptote"), member(where, "asymptote"));
  return p;
}

ResultsItem item(const json& value, const std::string& where, int d) {
  object(value, where);
  ResultsItem row;
  row.item = integer(field(value, "item"), member(where, "item"));
  row.to = itemParameters(field(value, "to"), member(where, "to"), d, true);
  row.from = itemParameters(field(value, "from"), member(where, "from"), d, true);
  row.fromTransformed =
      itemParameters(field(value, "from_transformed"), member(where, "from_transformed"), d, false);
  row.fromTransformed.asymptote = row.from.asymptote;
  row.slopeDifferences =
      numberList(field(value, "slope_differences"), member(where, "slope_differences"), d, false);
  row.interceptDifference =
      number(field(value, "intercept_difference"), member(where, "intercept_difference"));
  row.share = optionalNumber(field(value, "share"), member(where, "share"));
  row.rmsd = number(field(value, "rmsd"), member(where, "rmsd"));
  row.maxDifference = number(field(value, "max_difference"), member(where, "max_difference"));
  const json& flagged = field(value, "flagged");
  if (!flagged.is_boolean()) throw Refusal{member(where, "flagged"), "not true or false"};
  row.flagged = flagged.get<bool>();
  // Rows of polytomous items name their model; files of dichotomous items have no such key.
  if (const json& model = field(value, "model"); !model.is_null()) {
    row.model = text(model, member(where, "model"));
    row.categories = static_cast<int>(integer(field(value, "categories"), member(where, "categories")));
  }
  return row;
}

ResultsErrors standardErrors(const json& value, const std::string& where, int d) {
  object(value, where);
  ResultsErrors e;
  e.method = text(field(value, "method"), member(where, "method"));
  if (e.method != "jackknife" && e.method != "bootstrap") {
    throw Refusal{member(where, "method"), "neither \"jackknife\" nor \"bootstrap\""};
  }
  e.replications = static_cast<int>(integer(field(value, "replications"), member(where, "replications")));
  e.failed = static_cast<int>(integer(field(value, "failed"), member(where, "failed")));
  if (const json& seed = field(value, "seed"); !seed.is_null()) {
    if (!seed.is_number_unsigned()) throw Refusal{member(where, "seed"), "not a whole number"};
    e.seed = seed.get<unsigned long long>();
  }
  e.M = squareMatrix(field(value, "M"), member(where, "M"), d, false);
  e.t = numberList(field(value, "t"), member(where, "t"), d, false);
  e.lowerM = squareMatrix(field(value, "M_lower"), member(where, "M_lower"), d, true);
  e.upperM = squareMatrix(field(value, "M_upper"), member(where, "M_upper"), d, true);
  e.lowerT = numberList(field(value, "t_lower"), member(where, "t_lower"), d, true);
  e.upperT = numberList(field(value, "t_upper"), member(where, "t_upper"), d, true);
  const bool some = !e.lowerM.empty() || !e.upperM.empty() || !e.lowerT.empty() || !e.upperT.empty();
  const bool all = !e.lowerM.empty() && !e.upperM.empty() && !e.lowerT.empty() && !e.upperT.empty();
  if (some && !all) throw Refusal{where, "an interval without all four of its bounds"};
  return e;
}

// The keys every pair has, then those of a linked pair.
ResultsPair pair(const json& value, const std::string& where) {
  object(value, where);
  ResultsPair p;
  p.pair = static_cast<int>(integer(field(value, "pair"), member(where, "pair")));
  p.entry = integer(field(value, "entry"), member(where, "entry"));
  p.result = text(field(value, "result"), member(where, "result"));
  if (p.result != "linked" && p.result != "skipped" && p.result != "failed") {
    throw Refusal{member(where, "result"), "not \"linked\", \"skipped\" or \"failed\""};
  }
  if (value.contains("status")) p.status = static_cast<int>(integer(value["status"], member(where, "status")));
  p.message = text(field(value, "message"), member(where, "message"));
  p.fromFile = text(field(value, "from_file"), member(where, "from_file"));
  p.toFile = text(field(value, "to_file"), member(where, "to_file"));
  p.model = static_cast<int>(integer(field(value, "model"), member(where, "model")));
  p.dimension = static_cast<int>(integer(field(value, "dimension"), member(where, "dimension")));
  p.itemCount = integer(field(value, "items"), member(where, "items"));
  if (!p.linked()) return p;

  const int d = p.dimension;
  if (d < 1 || d > 25) throw Refusal{member(where, "dimension"), "not 1 to 25"};
  p.A = squareMatrix(field(value, "A"), member(where, "A"), d, false);
  p.b = numberList(field(value, "b"), member(where, "b"), d, false);
  p.M = squareMatrix(field(value, "M"), member(where, "M"), d, true);
  p.t = numberList(field(value, "t"), member(where, "t"), d, true);
  if (p.M.empty() != p.t.empty()) throw Refusal{where, "M and t must both be given or both null"};
  p.criterion = optionalNumber(field(value, "criterion_at_end"), member(where, "criterion_at_end"));

  const std::string excludedAt = member(where, "excluded_items");
  if (const json& excluded = field(value, "excluded_items"); !excluded.is_null()) {
    array(excluded, excludedAt);
    for (std::size_t i = 0; i < excluded.size(); ++i) {
      p.excludedItems.push_back(integer(excluded[i], indexed(excludedAt, i)));
    }
  }
  p.driftCutoff = optionalNumber(field(value, "drift_cutoff"), member(where, "drift_cutoff"));
  p.diagnosticsNote =
      text(field(value, "diagnostics_note"), member(where, "diagnostics_note"));
  if (const json& range = field(value, "theta_range"); !range.is_null()) {
    const std::vector<double> ends = numberList(range, member(where, "theta_range"), 2, false);
    if (!(ends[0] < ends[1])) throw Refusal{member(where, "theta_range"), "not lowest below highest"};
    p.thetaRange = std::make_pair(ends[0], ends[1]);
  }
  const std::string itemsAt = member(where, "item_diagnostics");
  if (const json& items = field(value, "item_diagnostics"); !items.is_null()) {
    array(items, itemsAt);
    for (std::size_t i = 0; i < items.size(); ++i) p.items.push_back(item(items[i], indexed(itemsAt, i), d));
  }
  if (const json& errors = field(value, "standard_errors"); !errors.is_null()) {
    p.standardErrors = standardErrors(errors, member(where, "standard_errors"), d);
  }
  return p;
}

ResultsRun run(const json& value, const std::string& where) {
  object(value, where);
  ResultsRun r;
  r.parameterFile = text(field(value, "parameter_file"), member(where, "parameter_file"));
  r.status = static_cast<int>(integer(field(value, "status"), member(where, "status")));
  if (const json& messages = field(value, "messages"); !messages.is_null()) {
    array(messages, member(where, "messages"));
    for (std::size_t i = 0; i < messages.size(); ++i) {
      r.messages.push_back(text(messages[i], indexed(member(where, "messages"), i)));
    }
  }
  const std::string pairsAt = member(where, "pairs");
  const json& pairs = array(field(value, "pairs"), pairsAt);
  for (std::size_t i = 0; i < pairs.size(); ++i) r.pairs.push_back(pair(pairs[i], indexed(pairsAt, i)));
  return r;
}

ResultsDocument document(const json& root) {
  const json& format = root.is_object() ? field(root, "format") : json();
  if (!format.is_string() || format.get<std::string>() != kFormat) {
    throw Refusal{"", std::string("not a Torvak results document (its \"format\" is not \"") +
                          kFormat + "\")"};
  }
  const long long version = integer(field(root, "format_version"), "format_version");
  if (version != kFormatVersion) {
    throw Refusal{"format_version", "version " + std::to_string(version) +
                                        " is not the one this program reads (" +
                                        std::to_string(kFormatVersion) + ")"};
  }
  ResultsDocument doc;
  if (root.contains("exit_status")) doc.exitStatus = static_cast<int>(integer(root["exit_status"], "exit_status"));
  const json& runs = array(field(root, "runs"), "runs");
  for (std::size_t i = 0; i < runs.size(); ++i) doc.runs.push_back(run(runs[i], indexed("runs", i)));
  return doc;
}

}  // namespace

ResultsRead readResultsJson(const std::string& text, const std::string& name) {
  ResultsRead read;
  const json root = json::parse(text, nullptr, false);
  if (root.is_discarded()) {
    read.error = name + ": not a Torvak results document (not JSON text)";
    return read;
  }
  try {
    read.document = document(root);
  } catch (const Refusal& refusal) {
    read.error = name + ": " + (refusal.where.empty() ? "" : refusal.where + ": ") + refusal.what;
  } catch (const json::exception& e) {
    read.error = name + ": " + e.what();
  }
  return read;
}

ResultsRead readResultsJson(std::istream& in, const std::string& name) {
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return readResultsJson(text, name);
}

ResultsRead readResultsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ResultsRead read;
    read.error = path + ": cannot be opened for reading";
    return read;
  }
  return readResultsJson(in, path);
}
