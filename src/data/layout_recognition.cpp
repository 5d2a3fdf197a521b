#include "data/layout_recognition.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "data/field_splitter.h"
#include "data/item_file.h"
#include "data/layout_text.h"
#include "params/parameter_file.h"
#include "params/token_reader.h"

namespace {

// Files longer than this are theta files of a size no layout needs all of to be told apart;
// the lines past it are counted, not split.
constexpr std::size_t kLinesLooked = 200000;

// The separator most lines hold: a tab, a semicolon (write.csv2 and European spreadsheets) or
// a comma, when at least four lines in five hold it; otherwise blanks.
char separatorOf(const std::vector<std::string>& lines) {
  for (char c : {'\t', ';', ','}) {
    std::size_t holding = 0;
    for (const std::string& line : lines) holding += line.find(c) != std::string::npos;
    if (!lines.empty() && holding * 5 >= lines.size() * 4) return c;
  }
  return ' ';
}


// A recognised layout stands only when its format reads the file to the count it gives (a
// guessing value out of range, say, or a graded item's intercepts out of order, is seen by the
// reader alone): otherwise the file is not recognised, and the reader's message says why.
void confirmByReading(const std::string& whole, RecognizedLayout& layout) {
  const auto records = static_cast<std::size_t>(layout.count);
  const auto d = static_cast<std::size_t>(layout.dimension);
  const bool theta = layout.thetaFile;
  std::vector<double> slopes(records * d), intercepts(theta ? 0 : records),
      guessing(theta ? 0 : records);
  ItemCategories categories;
  std::istringstream in(whole);
  const ItemFileResult read =
      readItemStream(in, layout.spec, 0,
                     {slopes, intercepts, guessing, theta ? 0 : layout.dimension,
                      theta ? nullptr : &categories});
  if (read.code == 0 && read.records == layout.count) {
    if (const std::string items = describePolytomousItems(categories); !items.empty()) {
      layout.notes.insert(layout.notes.begin(), "polytomous items: " + items);
    }
    return;
  }
  layout.recognised = false;
  layout.nearest = layout.layout;
  layout.whyNot = read.code != 0
                      ? read.message
                      : "its format reads " + std::to_string(read.records) + " records where " +
                            std::to_string(layout.count) + " were counted";
}

bool isBlankLine(const std::string& line) {
  return line.find_first_not_of(" \t\r\n\v\f") == std::string::npos;
}

}  // namespace

bool isNumberField(const std::string& field) {
  double value = 0.0;
  return parseDoubleToken(field, value);
}

double numberOf(const std::string& field) {
  double value = 0.0;
  return parseDoubleToken(field, value) ? value : 0.0;
}

bool isMissingField(const std::string& field) { return field.empty() || field == "NA"; }

bool isCountField(const std::string& field, int low, int high, int& value) {
  return parseIntToken(field, value) && value >= low && value <= high &&
         field.find_first_not_of("0123456789") == std::string::npos;
}

LayoutAttempt missedLayout(const std::string& layout, double closeness, const std::string& why) {
  LayoutAttempt attempt;
  attempt.layout.nearest = layout;
  attempt.layout.whyNot = why;
  attempt.closeness = closeness;
  return attempt;
}

RecognizedLayout recognizedAs(const LayoutText& text, std::string layout) {
  RecognizedLayout found;
  found.recognised = true;
  found.layout = std::move(layout);
  found.spec.name = text.name;
  found.spec.separator = text.separator;
  return found;
}

std::string lineName(const TextLine& line) { return "line " + std::to_string(line.fileLine); }

RecognizedLayout recognizeLayout(std::istream& in, const std::string& name) {
  std::vector<std::string> raw;
  std::vector<long long> fileLines;
  std::string whole;  // kept for the check by reading, while the file is not too long
  long long fileLine = 0, counted = 0;
  for (std::string line; std::getline(in, line);) {
    ++fileLine;
    if (counted < static_cast<long long>(kLinesLooked)) whole += line + "\n";
    if (isBlankLine(line)) continue;
    ++counted;
    if (raw.size() < kLinesLooked) {
      raw.push_back(std::move(line));
      fileLines.push_back(fileLine);
    }
  }
  LayoutText text;
  text.name = name;
  // Titles and headers may hold anything: the separator is the one of the lines after them.
  const std::size_t head = std::min<std::size_t>(raw.size() / 2, 5);
  text.separator = separatorOf(std::vector<std::string>(raw.begin() + head, raw.end()));
  for (std::size_t i = 0; i < raw.size(); ++i) {
    text.lines.push_back(
        {fileLines[i], static_cast<long long>(i) + 1, splitFields(raw[i], text.separator)});
  }
  text.lastCounted = counted;
  if (text.lines.empty()) {
    RecognizedLayout empty;
    empty.spec.name = name;
    empty.whyNot = name + " holds no line that is not blank";
    return empty;
  }
  static constexpr LayoutRecogniser kRecognisers[] = {
      recognizeFlexmirtPrm, recognizeIrtproPrm,  recognizeBilogPar,   recognizeParscalePar,
      recognizeBilogSco,    recognizeNamedTable, recognizeNumberTable};
  LayoutAttempt nearest;
  for (LayoutRecogniser recognise : kRecognisers) {
    LayoutAttempt attempt = recognise(text);
    if (attempt.layout.recognised) {
      if (counted > static_cast<long long>(kLinesLooked) && attempt.layout.thetaFile) {
        attempt.layout.count += counted - static_cast<long long>(kLinesLooked);
        attempt.layout.notes.push_back("lines past " + std::to_string(kLinesLooked) +
                                       " were counted as points, not looked at");
      }
      if (counted <= static_cast<long long>(kLinesLooked)) confirmByReading(whole, attempt.layout);
      attempt.layout.spec.name = name;
      return attempt.layout;
    }
    if (attempt.closeness > nearest.closeness) nearest = std::move(attempt);
  }
  RecognizedLayout missed = nearest.layout;
  if (missed.nearest.empty()) {
    missed.whyNot = "no layout fits its first lines";
  }
  missed.spec.name = name;
  return missed;
}

RecognizedLayout recognizeLayoutOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    RecognizedLayout missed;
    missed.spec.name = path;
    missed.whyNot = "the file cannot be opened";
    return missed;
  }
  return recognizeLayout(in, path);
}

std::string describeLayout(const RecognizedLayout& layout, const std::string& prefix) {
  const std::string& name = layout.spec.name;
  if (!layout.recognised) {
    std::string text = name + ": not recognised";
    if (!layout.nearest.empty()) text += "; nearest layout: " + layout.nearest;
    return text + "\n  " + layout.whyNot + "\n";
  }
  std::string text = name + ": " + layout.layout + "\n  " + std::to_string(layout.count) +
                     (layout.thetaFile ? " points" : " items") + " in " +
                     std::to_string(layout.dimension) +
                     (layout.dimension == 1 ? " dimension" : " dimensions");
  if (!layout.thetaFile) {
    text += layout.metric == 1 ? ", normal metric (File_Type 1 scales by 1.702)"
            : layout.metric == 0
                ? ", logistic metric"
                : ", metric not written in the file (File_Type 0 takes it as it is)";
  }
  text += "\n";
  const std::string keys = formatDataFileKeys(!prefix.empty()    ? prefix
                                              : layout.thetaFile ? "Emp"
                                                                 : "From",
                                              layout.spec, !layout.thetaFile);
  for (std::size_t start = 0; start < keys.size();) {
    const std::size_t end = keys.find('\n', start);
    std::string line = keys.substr(start, end - start);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += "  " + line + "\n";
    start = end + 1;
  }
  for (const std::string& note : layout.notes) text += "  note: " + note + "\n";
  return text;
}
