// Tables of one row per item or examinee: with a header that names the columns (mirt, ltm and
// TAM tables written by R, pandas tables), or of numbers only.
#include <algorithm>
#include <regex>
#include <utility>

#include "data/column_names.h"
#include "data/item_categories.h"
#include "data/layout_text.h"
#include "data/row_skip.h"

namespace {

bool matches(const std::string& name, const char* pattern) {
  return name.size() <= 64 && std::regex_match(name, std::regex(pattern));
}

bool allMatch(const std::vector<std::string>& names, const char* pattern) {
  return std::all_of(names.begin(), names.end(),
                     [&](const std::string& n) { return n.empty() || matches(n, pattern); });
}

bool has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::string writtenBy(char separator, bool fromR) {
  switch (separator) {
    case ',':
      return fromR ? " (write.csv)" : " (comma-separated)";
    case ';':
      return " (semicolon-separated)";
    case '\t':
      return " (tab-separated)";
    default:
      return fromR ? " (write.table)" : " (blank-separated)";
  }
}

std::string linesHoldMissing(long long lines) {
  return std::to_string(lines) + (lines == 1 ? " line holds" : " lines hold") +
         " NA or an empty field; the run passes them over";
}

struct Reading {
  std::string layout;   // empty: the header means nothing known
  std::string letters;  // one per column
  int metric = -1;
  std::string why;  // why the names are not read, when layout is empty
};

// The letters a header's names (lower case, no quotes; "" over row names) stand for.
Reading readNames(const std::vector<std::string>& names) {
  Reading r;
  std::vector<std::string> named;
  for (const std::string& n : names) {
    if (!n.empty()) named.push_back(n);
  }
  const auto each = [&](auto letterOf) {
    for (const std::string& n : names) r.letters.push_back(n.empty() ? 'X' : letterOf(n));
  };
  if (has(named, "axsi_.cat1")) {
    r.layout = "TAM item table ($item)";
    r.metric = 0;
    each([](const std::string& n) {
      return n == "axsi_.cat1"                    ? 'N'
             : matches(n, "b\\.cat1\\.dim[0-9]+") ? 'A'
             : n == "guess"                       ? 'C'
                                                  : 'X';
    });
  } else if (has(named, "pid") && std::any_of(named.begin(), named.end(), [](const std::string& n) {
               return matches(n, "eap(\\.dim[0-9]+)?");
             })) {
    r.layout = "TAM person table ($person)";
    each([](const std::string& n) { return matches(n, "eap(\\.dim[0-9]+)?") ? 'T' : 'X'; });
  } else if (allMatch(named, "f[0-9]+|se_f[0-9]+")) {
    const bool se = std::any_of(named.begin(), named.end(),
                                [](const std::string& n) { return n.rfind("se_", 0) == 0; });
    r.layout = std::string("mirt fscores table") + (se ? ", with standard errors" : "");
    each([](const std::string& n) { return n[0] == 'f' ? 'T' : 'X'; });
  } else if (allMatch(named, "dffclt|dscrmn|gussng|\\(intercept\\)|z[0-9]+")) {
    r.layout = "ltm coef table";
    r.metric = 0;
    each([](const std::string& n) {
      return n == "dffclt" ? 'B' : n == "gussng" ? 'C' : n == "(intercept)" ? 'D' : 'A';
    });
  } else if (allMatch(named, "a|a[0-9]+|d|d[0-9]+|g|u|b|ak[0-9]+")) {
    r.metric = 0;
    const bool polytomous = std::any_of(named.begin(), named.end(), [](const std::string& n) {
      return matches(n, "d[1-9][0-9]*|ak[0-9]+");
    });
    if (polytomous) {
      // Graded items write d1 .. d(m-1), partial credit (gpcm) items ak0 .. ak(m-1) and d0 ..
      // d(m-1), dichotomous ones d, g and u; the columns are the union of the items' names in
      // the order they first appear, NA where an item has none. E reads d1 ..; S reads ak1,
      // which has a value for partial credit items only (recognizeNamedTable makes E into Q
      // when no item is graded).
      r.layout = "mirt item table, slope-intercept";
      int next = 1;
      for (const std::string& n : names) {
        if (!matches(n, "d[1-9][0-9]*")) continue;
        if (n != "d" + std::to_string(next++)) {
          r.layout.clear();
          r.why = "its category intercepts d1, d2, ... are not in order ('" + n + "')";
          return r;
        }
      }
      each([](const std::string& n) {
        return matches(n, "a[0-9]*")          ? 'A'
               : n == "d"                     ? 'D'
               : n == "g"                     ? 'C'
               : matches(n, "d[1-9][0-9]*")   ? 'E'
               : n == "ak1"                   ? 'S'
                                              : 'X';
      });
    } else if (has(named, "d")) {
      r.layout = "mirt item table, slope-intercept";
      each([](const std::string& n) {
        return n[0] == 'a' ? 'A' : n == "d" ? 'D' : n == "g" ? 'C' : 'X';
      });
    } else if (has(named, "b")) {
      r.layout = "mirt item table, IRTpars = TRUE";
      each([](const std::string& n) {
        return n[0] == 'a' ? 'A' : n == "b" ? 'B' : n == "g" ? 'C' : 'X';
      });
    } else {
      r.why = "it names no intercept (d, d1, ...) and no difficulty (b)";
    }
  } else {
    r.layout = "table with named columns";
    for (const std::string& n : names) {
      const ColumnMeaning meaning = n.empty() ? ColumnMeaning::Other : columnMeaning(n);
      r.letters.push_back(letterForMeaning(meaning));
      if (meaning == ColumnMeaning::Unknown && r.why.empty())
        r.why = "'" + n + "' names no column a letter reads";
    }
    if (!r.why.empty()) r.layout.clear();
  }
  return r;
}

std::size_t countOf(const std::string& letters, const char* set) {
  return static_cast<std::size_t>(std::count_if(letters.begin(), letters.end(), [&](char c) {
    return std::string(set).find(c) != std::string::npos;
  }));
}

// Why the letters make no item or theta record; empty when they do.
std::string recordProblem(const std::string& letters) {
  const std::size_t slopes = countOf(letters, "A"), thetas = countOf(letters, "T");
  const std::size_t intercepts = countOf(letters, "BDN"), guessing = countOf(letters, "CG");
  const std::size_t categories = countOf(letters, "EQ");
  if (thetas > 0) {
    return slopes + intercepts + guessing + categories == 0
               ? std::string()
               : "it names both item parameters and thetas";
  }
  if (slopes == 0) return "it names no slope";
  if (slopes > 25) return "it names more than 25 slopes";
  if (categories > static_cast<std::size_t>(kMostCategories - 1))
    return "it names more than " + std::to_string(kMostCategories - 1) + " category intercepts";
  if (categories == 0 ? intercepts != 1 : intercepts > 1)
    return "it names " + std::to_string(intercepts) +
           " intercepts or difficulties where an item has one";
  if (countOf(letters, "B") == 1 && slopes > 1)
    return "a difficulty with " + std::to_string(slopes) +
           " slopes: write the slope-intercept table";
  if (guessing > 1) return "it names more than one guessing column";
  return {};
}

// Why a row of a table with category intercepts (E) is left out: an item of another type
// (nominal, or with no intercept), or NA in a slope; empty when the format reads it.
// gpcm: the row has partial credit scoring values (ak0 ..); intercepts: its E values.
std::string categoryRowProblem(const TextLine& line, const std::string& letters,
                               const std::vector<std::string>& names, bool& gpcm,
                               std::size_t& intercepts) {
  gpcm = false;
  intercepts = 0;
  std::size_t scoring = 0;
  bool intercept = false;
  for (std::size_t c = 0; c < letters.size(); ++c) {
    const std::string& f = line.fields[c];
    if (isMissingField(f)) {
      if (letters[c] == 'A') return "NA or an empty slope";
      continue;
    }
    if (letters[c] == 'E') ++intercepts;
    if (letters[c] == 'D') intercept = true;
    if (!matches(names[c], "ak[0-9]+")) continue;
    // gpcm fixes ak_k at k; a nominal item estimates them.
    ++scoring;
    gpcm = true;
    if (numberOf(f) != std::stod(names[c].substr(2))) {
      return "nominal: " + names[c] + " is " + f;
    }
  }
  if (!intercept && intercepts == 0) return "no intercept";
  if (gpcm && scoring != intercepts + 1) {
    return std::to_string(scoring) + " scoring values for " + std::to_string(intercepts + 1) +
           " categories";
  }
  return {};
}

}  // namespace

LayoutAttempt recognizeNamedTable(const LayoutText& text) {
  const std::string table = "table with a header";
  if (text.lines.size() < 2) return missedLayout(table, 0.0, "it holds fewer than 2 lines");
  const TextLine& header = text.lines.front();
  for (const std::string& f : header.fields) {
    if (isNumberField(f))
      return missedLayout(table, 0.0,
                          "line " + std::to_string(header.fileLine) + " holds a number: no header");
  }
  const std::size_t length = text.lines[1].fields.size();
  for (const TextLine& line : text.lines) {
    if (&line == &header || line.fields.size() == length) continue;
    return missedLayout(
        table, 0.5,
        lineName(line) + " holds " + std::to_string(line.fields.size()) + " fields where " +
            lineName(text.lines[1]) + " holds " + std::to_string(length) +
            (text.separator == ' ' ? " (row names with blanks? write the table with write.csv)"
                                   : ""));
  }
  if (header.fields.size() > length)
    return missedLayout(table, 0.3, "its header names more columns than its rows hold");
  std::vector<std::string> names(length - header.fields.size());  // over row names: ""
  for (const std::string& f : header.fields) names.push_back(lowerUnquoted(f));
  const Reading reading = readNames(names);
  if (reading.layout.empty())
    return missedLayout(
        table, 0.6,
        "line " + std::to_string(header.fileLine) + " names the columns, but " + reading.why);
  if (const std::string problem = recordProblem(reading.letters); !problem.empty()) {
    return missedLayout(
        reading.layout, 0.7,
        "line " + std::to_string(header.fileLine) + " names the columns, but " + problem);
  }
  const bool theta = countOf(reading.letters, "T") > 0;
  const bool categories = countOf(reading.letters, "E") > 0;
  std::string letters = reading.letters;
  std::vector<long long> skipped{header.counted};
  std::string leftOut;
  long long leftOutCount = 0, missing = 0, rows = 0;
  bool graded = false;  // a row with category intercepts and no partial credit scoring
  for (std::size_t i = 1; i < text.lines.size(); ++i) {
    const TextLine& line = text.lines[i];
    bool lacking = false;
    for (std::size_t c = 0; c < length; ++c) {
      const char letter = reading.letters[c];
      const std::string& f = line.fields[c];
      const bool checked = letter != 'X' || (categories && matches(names[c], "ak[0-9]+"));
      if (!checked) continue;
      if (isMissingField(f)) {
        lacking = true;
        continue;
      }
      if (!isNumberField(f) || (letter == 'C' && (numberOf(f) < 0.0 || numberOf(f) >= 1.0))) {
        return missedLayout(reading.layout, 0.8,
                            lineName(line) + ", column '" + names[c] + "': '" + f + "' is not " +
                                (letter == 'C' ? "a guessing parameter" : "a number"));
      }
    }
    std::string why;
    if (categories) {
      // NA is how mirt writes a parameter an item does not have: the reader takes the row
      // when its intercepts come from d or from d1 ...
      bool gpcm = false;
      std::size_t values = 0;
      why = categoryRowProblem(line, reading.letters, names, gpcm, values);
      if (why.empty()) {
        ++rows;
        graded = graded || (!gpcm && values > 0);
        continue;
      }
    } else if (!lacking) {
      ++rows;
      continue;
    } else if (theta) {
      ++missing;  // the reader passes such a line over itself
      continue;
    }
    skipped.push_back(line.counted);
    if (++leftOutCount <= 5)
      leftOut += (leftOut.empty() ? "" : ", ") + line.fields[0] + " (" + lineName(line) +
                 (why.empty() ? "" : ", " + why) + ")";
  }
  if (categories && std::find(names.begin(), names.end(), "ak1") != names.end() && !graded) {
    // No graded item: the intercepts d1 .. are partial credit ones, and ak1 tells nothing.
    for (char& l : letters) l = l == 'E' ? 'Q' : l == 'S' ? 'X' : l;
  }
  if (rows == 0)
    return missedLayout(reading.layout, 0.8,
                        "no row holds a value in every column the format reads");
  RecognizedLayout found = recognizedAs(
      text, reading.layout +
                writtenBy(text.separator, reading.layout.find("table with") == std::string::npos));
  found.thetaFile = theta;
  found.count = rows;
  found.dimension = static_cast<int>(countOf(reading.letters, theta ? "T" : "A"));
  found.metric = theta ? -1 : reading.metric;
  found.spec.columnFormat = letters;
  found.spec.rowSkip = rowSkipListOf(skipped);
  if (leftOutCount > 0) {
    found.notes.push_back(std::to_string(leftOutCount) + " item" +
                          (leftOutCount > 1 ? "s are" : " is") +
                          (categories ? " left out (other item types): "
                                      : " left out for NA or an empty field (other item types): ") +
                          leftOut + (leftOutCount > 5 ? ", ..." : ""));
  }
  if (missing > 0) found.notes.push_back(linesHoldMissing(missing));
  return {std::move(found), 1.0};
}

// Numbers only, perhaps after up to 5 title lines and with a label column: slopes, intercept
// and guessing when the last column is a probability, else theta points; flexMIRT's -sco.txt
// (group, observation, then thetas and their SEs) is told apart by its first two columns.
LayoutAttempt recognizeNumberTable(const LayoutText& text) {
  const std::string table = "table of numbers";
  std::size_t first = 0;
  const auto numeric = [](const std::vector<std::string>& f, std::size_t from) {
    return f.size() > from &&
           std::all_of(f.begin() + static_cast<long>(from), f.end(),
                       [](const std::string& w) { return isNumberField(w) || isMissingField(w); });
  };
  while (first < text.lines.size() && !numeric(text.lines[first].fields, 0) &&
         !numeric(text.lines[first].fields, 1))
    ++first;
  if (first + 1 >= text.lines.size() || first > 5) {
    return missedLayout(table, 0.0, "no two lines of numbers within its first 7 lines");
  }
  const std::size_t length = text.lines[first].fields.size();
  const std::size_t labels = numeric(text.lines[first].fields, 0) ? 0 : 1;
  long long missing = 0;
  bool probabilityLast = true, scoTable = length >= 4 && labels == 0;
  for (std::size_t i = first; i < text.lines.size(); ++i) {
    const auto& f = text.lines[i].fields;
    if (f.size() != length || !numeric(f, labels)) {
      return missedLayout(table, 0.5,
                          lineName(text.lines[i]) + " holds " + std::to_string(f.size()) +
                              " fields where " + lineName(text.lines[first]) + " holds " +
                              std::to_string(length) +
                              (f.size() == length ? ", not all numbers" : ""));
    }
    if (std::any_of(f.begin(), f.end(), isMissingField)) {
      ++missing;
      continue;
    }
    const double last = numberOf(f.back());
    probabilityLast = probabilityLast && last >= 0.0 && last < 1.0;
    scoTable =
        scoTable && f[0] == text.lines[first].fields[0] && f[1] == std::to_string(i - first + 1);
  }
  const std::size_t values = length - labels;
  if (missing == static_cast<long long>(text.lines.size() - first)) {
    return missedLayout(table, 0.3, "every line of numbers holds NA or an empty field");
  }
  RecognizedLayout found;
  if (scoTable && text.lines.size() - first >= 2) {
    // group, observation, [iterations,] theta1..thetak, SE1..SEk
    const std::size_t rest = values - 2, k = rest / 2;
    found = recognizedAs(text, "flexMIRT -sco.txt scores (layout from documentation only)");
    found.spec.columnFormat =
        "XX" + std::string(rest % 2, 'X') + std::string(k, 'T') + std::string(k, 'X');
    found.thetaFile = true;
    found.dimension = static_cast<int>(k);
  } else if (values >= 3 && values <= 27 && probabilityLast && missing == 0) {
    found = recognizedAs(text, "table of numbers: slopes, intercept, guessing");
    found.spec.columnFormat = std::string(labels, 'X') + std::string(values - 2, 'A') + "DC";
    found.dimension = static_cast<int>(values - 2);
  } else if (values <= 25) {
    found = recognizedAs(text, "table of numbers, read as theta points");
    found.spec.columnFormat = std::string(labels, 'X') + std::string(values, 'T');
    found.thetaFile = true;
    found.dimension = static_cast<int>(values);
    if (values >= 2 && missing == 0) {
      found.notes.push_back("as items (slopes, then intercept), column format " +
                            std::string(labels, 'X') + std::string(values - 1, 'A') + "D reads it");
    }
  } else {
    return missedLayout(table, 0.4,
                        "its lines hold " + std::to_string(values) +
                            " numbers, more than a record of up to 25 dimensions");
  }
  found.count = static_cast<long long>(text.lines.size() - first) - (found.thetaFile ? missing : 0);
  std::vector<long long> head;
  for (std::size_t i = 0; i < first; ++i) head.push_back(text.lines[i].counted);
  found.spec.rowSkip = rowSkipListOf(head);
  if (missing > 0) found.notes.push_back(linesHoldMissing(missing));
  return {std::move(found), 1.0};
}
