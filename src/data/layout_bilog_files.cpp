// BILOG-MG .PAR and .SCO files and PARSCALE .PAR files: title and count lines, then fixed
// lines per item or examinee. Both programs write the normal metric (D = 1.7) unless a
// BILOG-MG run asked for LOGISTIC.
#include <algorithm>
#include <cctype>
#include <utility>

#include "data/layout_text.h"
#include "data/row_skip.h"

namespace {

bool allDigits(const std::string& word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

bool numbersIn(const std::vector<std::string>& f, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (!isNumberField(f[i])) return false;
  }
  return true;
}

bool saysLogistic(const LayoutText& text, std::size_t headLines) {
  for (std::size_t i = 0; i < headLines; ++i) {
    for (std::string word : text.lines[i].fields) {
      for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (word.find("LOGISTIC") != std::string::npos) return true;
    }
  }
  return false;
}

std::vector<long long> countedLines(const LayoutText& text, std::size_t from, std::size_t to) {
  std::vector<long long> lines;
  for (std::size_t i = from; i < to; ++i) lines.push_back(text.lines[i].counted);
  return lines;
}

// BILOG-MG item line: name, subtest, then intercept, slope, threshold, loading, asymptote and
// drift, each with its SE, and a word of digits: 15 words, or 14 when an 8-character name
// runs into the subtest name. The number of name words, or 0 for no item line.
std::size_t bilogNameWords(const std::vector<std::string>& f) {
  for (std::size_t names : {std::size_t{2}, std::size_t{1}}) {
    if (f.size() == names + 13 && !isNumberField(f[0]) && numbersIn(f, names, names + 12) &&
        allDigits(f.back())) {
      return names;
    }
  }
  return 0;
}

}  // namespace

LayoutAttempt recognizeBilogPar(const LayoutText& text) {
  const std::string layout = "BILOG-MG .PAR item parameters";
  std::size_t first = 0;
  while (first < text.lines.size() && bilogNameWords(text.lines[first].fields) == 0) ++first;
  if (first == text.lines.size()) {
    return missedLayout(layout, 0.0,
                        "no line of 14 or 15 words: name, subtest, 12 numbers, a number of digits");
  }
  if (first > 6)
    return missedLayout(
        layout, 0.2,
        "the first item line, " + lineName(text.lines[first]) + ", comes after more than 6 lines");
  const std::size_t names = bilogNameWords(text.lines[first].fields);
  std::size_t items = 0;
  for (std::size_t i = first; i < text.lines.size(); ++i, ++items) {
    const std::size_t here = bilogNameWords(text.lines[i].fields);
    if (here == names) continue;
    const double share =
        static_cast<double>(i - first) / static_cast<double>(text.lines.size() - first);
    return missedLayout(
        layout, 0.3 + 0.6 * share,
        lineName(text.lines[i]) + " holds " + std::to_string(text.lines[i].fields.size()) +
            " words where the item lines before it hold " + std::to_string(names + 13) +
            (here != 0 ? " (an item name that runs into the subtest name?)" : ""));
  }
  // Line 3 gives the subtests and the items: a file cut short or with lines too many.
  for (std::size_t i = 0; i < first; ++i) {
    const auto& f = text.lines[i].fields;
    int subtests = 0, count = 0;
    if (f.size() == 2 && isCountField(f[0], 1, 1000, subtests) &&
        isCountField(f[1], 1, 1000000, count) && static_cast<std::size_t>(count) != items) {
      return missedLayout(layout, 0.8,
                          lineName(text.lines[i]) + " says " + f[1] + " items, but " +
                              std::to_string(items) + " item lines follow");
    }
  }
  RecognizedLayout found = recognizedAs(text, layout);
  found.count = static_cast<long long>(items);
  found.dimension = 1;
  found.metric = saysLogistic(text, first) ? 0 : 1;
  found.spec.fileType = found.metric;
  found.spec.columnFormat = std::string(names == 2 ? "XX" : "X") + "DXAXXXXXCXXXX";
  found.spec.rowSkip = rowSkipListOf(countedLines(text, 0, first));
  if (found.metric == 1)
    found.notes.push_back(
        "normal metric: BILOG-MG writes it unless the run said LOGISTIC (it uses D = 1.7, Torvak "
        "1.702)");
  if (text.lines[first].fileLine != text.lines[first].counted) {
    found.notes.push_back("blank lines in the head are not counted by the row-skip list");
  }
  return {std::move(found), 1.0};
}

// BILOG-MG .SCO: two title lines, then per examinee "group id | weight subtest tried right
// percent theta SE probability", on one line or over two: read word by word, every record
// has the same number of words when the "|" stands at the same place in each.
LayoutAttempt recognizeBilogSco(const LayoutText& text) {
  const std::string layout = "BILOG-MG .SCO scores (layout from documentation only)";
  std::size_t first = 0;
  while (first < text.lines.size() && first < 3 &&
         std::find(text.lines[first].fields.begin(), text.lines[first].fields.end(), "|") ==
             text.lines[first].fields.end()) {
    ++first;
  }
  // The head: the lines before the first record (the line with the first "|", or the one
  // before it when a record takes two lines).
  std::vector<std::string> words;
  std::size_t head = first;
  const auto holdsBar = [&](std::size_t i) {
    const auto& f = text.lines[i].fields;
    return std::find(f.begin(), f.end(), "|") != f.end();
  };
  if (first == text.lines.size() || !holdsBar(first)) {
    return missedLayout(layout, 0.0, "no \"|\" word in the first lines");
  }
  if (text.lines[first].fields.front() == "|" && first > 0) head = first - 1;
  std::vector<std::size_t> bars;
  for (std::size_t i = head; i < text.lines.size(); ++i) {
    for (const std::string& word : text.lines[i].fields) {
      if (word == "|") bars.push_back(words.size());
      words.push_back(word);
    }
  }
  const std::size_t records = bars.size();
  const std::size_t length = words.size() / records;
  const std::size_t before = bars.front();
  if (words.size() % records != 0 || length < before + 9) {
    return missedLayout(layout, 0.5,
                        "the records after the head do not all hold the same number of words");
  }
  for (std::size_t r = 0; r < records; ++r) {
    if (bars[r] != r * length + before || !isNumberField(words[bars[r] + 6])) {
      return missedLayout(layout, 0.6,
                          "record " + std::to_string(r + 1) +
                              " does not hold its \"|\" and theta where the first record does");
    }
  }
  RecognizedLayout found = recognizedAs(text, layout);
  found.thetaFile = true;
  found.count = static_cast<long long>(records);
  found.dimension = 1;
  found.spec.columnFormat =
      std::string(before + 6, 'X') + "T" + std::string(length - before - 7, 'X');
  found.spec.rowSkip = rowSkipListOf(countedLines(text, 0, head));
  return {std::move(found), 1.0};
}

// PARSCALE .PAR: titles, "SEPARATE ..." and block sizes, "GROUP 01", then per item a line of
// 8 words (block, category count and label run together as in 20001, slope, SE, location, SE,
// asymptote, SE) and its category lines. Dichotomous items read as a 3PL with b = location.
LayoutAttempt recognizeParscalePar(const LayoutText& text) {
  const std::string layout = "PARSCALE .PAR item parameters, dichotomous items";
  const auto isItemLine = [](const std::vector<std::string>& f) {
    return f.size() == 8 && !isNumberField(f[0]) && allDigits(f[1]) && f[1].size() >= 5 &&
           numbersIn(f, 2, 8);
  };
  std::size_t first = 0;
  while (first < text.lines.size() && !isItemLine(text.lines[first].fields)) ++first;
  if (first == text.lines.size())
    return missedLayout(layout, 0.0,
                        "no item line of 8 words (block, category count and label, 6 numbers)");
  bool sawGroup = false;
  for (std::size_t i = 0; i < first; ++i) {
    std::string word = text.lines[i].fields.front();
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    sawGroup = sawGroup || word == "GROUP";
  }
  if (!sawGroup)
    return missedLayout(
        layout, 0.4,
        "no GROUP line comes before the first item line, " + lineName(text.lines[first]));
  std::vector<long long> kept;
  std::string leftOut;
  int leftOutCount = 0;
  std::size_t items = 0;
  for (std::size_t i = first; i < text.lines.size(); ++i) {
    const auto& f = text.lines[i].fields;
    if (!isItemLine(f)) continue;  // category lines
    ++items;
    int categories = 0;
    if (!isCountField(f[1].substr(0, f[1].size() - 4), 1, 1000, categories)) {
      return missedLayout(layout, 0.6,
                          lineName(text.lines[i]) + ": '" + f[1] +
                              "' holds no category count before its 4-digit label");
    }
    if (categories == 2) {
      kept.push_back(text.lines[i].counted);
    } else if (++leftOutCount <= 5) {
      leftOut += (leftOut.empty() ? "" : ", ") + f[0] + " (" + lineName(text.lines[i]) + ", " +
                 std::to_string(categories) + " categories)";
    }
  }
  if (kept.empty())
    return missedLayout(layout, 0.8,
                        "no item has 2 categories: Torvak reads no polytomous item yet");
  RecognizedLayout found = recognizedAs(text, layout);
  found.count = static_cast<long long>(kept.size());
  found.dimension = 1;
  found.metric = 1;
  found.spec.fileType = 1;
  found.spec.columnFormat = "XXAXBXCX";
  found.spec.rowSkip = rowSkipListKeeping(kept, text.lastCounted);
  found.notes.push_back("normal metric: PARSCALE uses D = 1.7, Torvak 1.702");
  if (leftOutCount > 0) {
    found.notes.push_back(std::to_string(leftOutCount) + " polytomous item" +
                          (leftOutCount > 1 ? "s are" : " is") + " left out: " + leftOut +
                          (leftOutCount > 5 ? ", ..." : ""));
  }
  return {std::move(found), 1.0};
}
