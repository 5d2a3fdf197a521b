#include "report/diagnostics_csv.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

#include "params/replace_file.h"

namespace {

std::string number(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

std::string optionalNumber(const std::optional<double>& value) {
  return value ? number(*value) : std::string();
}

// A field quoted when it holds a separator, a quote or a line end.
std::string field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string joined(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += field(fields[i]);
  }
  return line + "\n";
}

// The value at index of a vector, or empty when there is none.
std::string entry(const std::vector<double>& values, std::size_t index) {
  return index < values.size() ? number(values[index]) : std::string();
}

// To, transformed From and their difference, each in width columns (empty past a vector's end).
void appendCompared(const std::vector<double>& to, const std::vector<double>& transformed,
                    int width, std::vector<std::string>& fields) {
  std::vector<double> differences(std::min(to.size(), transformed.size()));
  for (std::size_t k = 0; k < differences.size(); ++k) differences[k] = transformed[k] - to[k];
  for (const std::vector<double>* values : {&to, &transformed, &std::as_const(differences)}) {
    for (int k = 0; k < width; ++k) fields.push_back(entry(*values, k));
  }
}

// The columns beyond the slopes, there only when some item of the invocation is polytomous:
// each item's model and category count, then its intercepts after the first (d_2 ..), empty
// where an item has fewer.
class Table {
 public:
  Table(int dimension, int categories)
      : dimension_(dimension), categories_(categories), names_(columnNames()) {}

  std::string header() const { return joined(names_); }

  std::string pairRows(int run, const std::string& file, int ordinal, const PairOutcome& p) const {
    const std::vector<std::string> head = {std::to_string(run), file, std::to_string(ordinal),
                                           std::to_string(p.entry), p.fromFile, p.toFile,
                                           std::to_string(p.model)};
    std::string rows;
    const int d = p.dimension;
    const StandardErrors* se = p.standardErrors ? &*p.standardErrors : nullptr;
    for (int r = 0; r < d; ++r) {
      for (int c = 0; c <= d; ++c) {
        // Columns 0..d-1: M; column d: t.
        const bool isT = c == d;
        const std::size_t at = isT ? r : static_cast<std::size_t>(r) * d + c;
        const std::string name = isT ? "t[" + std::to_string(r + 1) + "]"
                                     : "M[" + std::to_string(r + 1) + "," +
                                           std::to_string(c + 1) + "]";
        std::vector<std::string> fields = head;
        fields.insert(fields.end(), {"estimate", "", name, entry(isT ? p.t : p.M, at)});
        if (se != nullptr) {
          fields.push_back(entry(isT ? se->t : se->M, at));
          fields.push_back(entry(isT ? se->lowerT : se->lowerM, at));
          fields.push_back(entry(isT ? se->upperT : se->upperM, at));
        } else {
          fields.insert(fields.end(), 3, "");
        }
        rows += finish(fields);
      }
    }
    for (const ItemDiagnostic& item : p.itemDiagnostics) {
      std::vector<std::string> fields = head;
      fields.insert(fields.end(),
                    {"item", std::to_string(item.item), "", "", "", "", "", number(item.rmsd),
                     number(item.maxDifference), optionalNumber(item.share),
                     item.flagged ? "1" : "0", number(item.toIntercept),
                     number(item.transformedIntercept),
                     number(item.interceptDifference())});
      appendCompared(item.toSlopes, item.transformedSlopes, dimension_, fields);
      if (categories_ > 2) {
        fields.push_back(item.categories > 2 ? item.kind : "dichotomous");
        fields.push_back(std::to_string(item.categories));
        appendCompared(item.toRest, item.transformedRest, categories_ - 2, fields);
      }
      rows += joined(fields);
    }
    return rows;
  }

 private:
  std::vector<std::string> columnNames() const {
    std::vector<std::string> names = {"run",        "parameter_file", "pair", "entry",
                                      "from_file",  "to_file",        "model", "row",
                                      "item",       "name",           "value", "se",
                                      "lower",      "upper",          "rmsd", "max_difference",
                                      "share",      "flagged",        "intercept_to",
                                      "intercept_transformed", "intercept_difference"};
    for (const char* kind : {"slope_to_", "slope_transformed_", "slope_difference_"}) {
      for (int k = 1; k <= dimension_; ++k) names.push_back(kind + std::to_string(k));
    }
    if (categories_ > 2) {
      names.insert(names.end(), {"item_model", "categories"});
      for (const char* kind : {"intercept_to_", "intercept_transformed_", "intercept_difference_"}) {
        for (int k = 2; k < categories_; ++k) names.push_back(kind + std::to_string(k));
      }
    }
    return names;
  }

  // An estimate row, padded with the empty item columns.
  std::string finish(std::vector<std::string> fields) const {
    fields.resize(names_.size());
    return joined(fields);
  }

  int dimension_;
  int categories_;
  std::vector<std::string> names_;
};

}  // namespace

std::string formatDiagnosticsCsv(const std::vector<RunResults>& runs) {
  int dimension = 1, categories = 2;
  for (const RunResults& run : runs) {
    for (const PairOutcome& p : run.pairs) {
      dimension = std::max(dimension, p.dimension);
      for (const ItemDiagnostic& item : p.itemDiagnostics) {
        categories = std::max(categories, item.categories);
      }
    }
  }
  const Table table(dimension, categories);
  std::string text = table.header();
  for (std::size_t r = 0; r < runs.size(); ++r) {
    int ordinal = 0;
    for (const PairOutcome& p : runs[r].pairs) {
      ++ordinal;
      if (p.result != PairOutcome::Result::Linked) continue;
      text += table.pairRows(static_cast<int>(r + 1), runs[r].parameterFile, ordinal, p);
    }
  }
  return text;
}

std::string writeDiagnosticsFile(const std::string& path, const std::vector<RunResults>& runs) {
  return replaceFileContents(path, formatDiagnosticsCsv(runs));
}
