// flexMIRT and IRTPRO -prm.txt files: one line per item, its type and category count in
// fixed fields, then group lines. One column format reads one item kind, so the items of the
// other kinds are left out by the row-skip list and named.
#include <algorithm>
#include <map>

#include "data/layout_text.h"
#include "data/row_skip.h"

namespace {

enum class Kind { ThreePL, TwoPL, Other };

struct PrmItem {
  const TextLine* line;
  Kind kind;
  std::string why;  // Other: the item type in words
};

std::string slopes(int k) { return std::string(static_cast<std::size_t>(k), 'A'); }

// Which kind is read: the one with more items (3PL on a tie); the rest are named in notes.
RecognizedLayout keepOneKind(const LayoutText& text, std::string layout,
                             const std::vector<PrmItem>& items, int dimension,
                             const std::string& threePlFormat, const std::string& twoPlFormat,
                             const std::string& otherLines, std::size_t labelField) {
  const auto count = [&](Kind kind) {
    return std::count_if(items.begin(), items.end(),
                         [&](const PrmItem& i) { return i.kind == kind; });
  };
  const Kind kept = count(Kind::ThreePL) >= count(Kind::TwoPL) ? Kind::ThreePL : Kind::TwoPL;
  RecognizedLayout found =
      recognizedAs(text, layout + (kept == Kind::ThreePL ? ", 3PL items" : ", 2PL items"));
  found.dimension = dimension;
  found.metric = 0;
  found.spec.columnFormat = kept == Kind::ThreePL ? threePlFormat : twoPlFormat;
  found.spec.oneRecordPerLine = text.separator == ' ' ? 1 : 0;
  std::vector<long long> keptLines;
  std::string leftOut;
  int leftOutCount = 0;
  for (const PrmItem& item : items) {
    if (item.kind == kept) {
      keptLines.push_back(item.line->counted);
      continue;
    }
    ++leftOutCount;
    if (leftOutCount <= 5) {
      leftOut += (leftOut.empty() ? "" : ", ") + item.line->fields[labelField] + " (" +
                 lineName(*item.line) + ", " +
                 (item.kind == Kind::Other     ? item.why
                  : item.kind == Kind::ThreePL ? "3PL"
                                               : "2PL") +
                 ")";
    }
  }
  found.count = static_cast<long long>(keptLines.size());
  found.spec.rowSkip = rowSkipListKeeping(keptLines, text.lastCounted);
  if (leftOutCount > 0) {
    found.notes.push_back(std::to_string(leftOutCount) + " item" +
                          (leftOutCount > 1 ? "s are" : " is") + " left out: " + leftOut +
                          (leftOutCount > 5 ? ", ..." : "") +
                          "; one column format reads one item kind");
  }
  if (!otherLines.empty()) found.notes.push_back(otherLines);
  return found;
}

}  // namespace

// flexMIRT: "1 label group k type categories ..." per item, "0 label group k ..." per group.
// Type 1 with 2 categories is a 3PL (logit(g) d a1..ak), type 2 a graded item: with 2
// categories a 2PL (d a1..ak).
LayoutAttempt recognizeFlexmirtPrm(const LayoutText& text) {
  const std::string layout = "flexMIRT -prm.txt";
  std::vector<PrmItem> items;
  std::vector<const TextLine*> groups;
  int dimension = 0, group = -1;
  std::string otherGroups;
  for (const TextLine& line : text.lines) {
    const auto& f = line.fields;
    int g = 0, k = 0, type = 0, categories = 0;
    const bool shaped = f.size() >= 6 && isCountField(f[2], 0, 1000, g) &&
                        isCountField(f[3], 1, 25, k) && isCountField(f[4], 0, 100, type) &&
                        isCountField(f[5], 0, 1000, categories);
    if (f.size() >= 5 && f[0] == "0" && isCountField(f[2], 0, 1000, g)) {
      groups.push_back(&line);
      continue;
    }
    if (!shaped || f[0] != "1") {
      const double share =
          static_cast<double>(items.size()) / static_cast<double>(text.lines.size());
      return missedLayout(layout, share,
                          lineName(line) +
                              " is neither an item line (1, label, group, dimensions, type, "
                              "categories, values) nor a group line (0, ...)");
    }
    if (dimension == 0) dimension = k;
    if (k != dimension) {
      return missedLayout(layout, 0.5,
                          lineName(line) + " has " + std::to_string(k) +
                              " dimensions where the first item has " + std::to_string(dimension));
    }
    if (group < 0) group = g;
    if (g != group) {
      if (otherGroups.empty())
        otherGroups = "the items of group " + std::to_string(g) + " and later groups (from " +
                      lineName(line) + ") are left out: the format reads group " +
                      std::to_string(group);
      continue;
    }
    PrmItem item{&line, Kind::Other, {}};
    const std::size_t n = f.size();
    const std::size_t values = n - 6;
    if (type == 1 && categories == 2 && values == static_cast<std::size_t>(2 + k)) {
      item.kind = Kind::ThreePL;
    } else if (type == 2 && categories == 2 && values == static_cast<std::size_t>(1 + k)) {
      item.kind = Kind::TwoPL;
    } else if (type == 2) {
      item.why = "graded, " + std::to_string(categories) + " categories";
    } else {
      item.why =
          "item type " + std::to_string(type) + ", " + std::to_string(categories) + " categories";
    }
    for (std::size_t i = 6; item.kind != Kind::Other && i < n; ++i) {
      if (!isNumberField(f[i])) {
        return missedLayout(layout, 0.7, lineName(line) + ": '" + f[i] + "' is not a number");
      }
    }
    items.push_back(item);
  }
  const bool readable = std::any_of(items.begin(), items.end(),
                                    [](const PrmItem& i) { return i.kind != Kind::Other; });
  if (!readable) {
    return missedLayout(layout, 0.8,
                        items.empty()
                            ? "the file holds no item line"
                            : "no item is a 2PL or a 3PL: Torvak reads no other item type yet");
  }
  std::string groupNote;
  if (!groups.empty()) {
    groupNote = std::to_string(groups.size()) + " group line" + (groups.size() > 1 ? "s" : "") +
                " (from " + lineName(*groups.front()) + ") skipped";
  }
  if (!otherGroups.empty()) groupNote += (groupNote.empty() ? "" : "; ") + otherGroups;
  LayoutAttempt attempt;
  attempt.layout = keepOneKind(text, layout, items, dimension, "XXXXXXGD" + slopes(dimension),
                               "XXXXXXD" + slopes(dimension), groupNote, 1);
  return attempt;
}

// IRTPRO: "label k type categories a1..ak d ..." per item (type 1 a 3PL with logit(g) after
// d, type 2 a graded item, with 2 categories a 2PL), then group lines.
LayoutAttempt recognizeIrtproPrm(const LayoutText& text) {
  const std::string layout = "IRTPRO -prm.txt";
  std::vector<PrmItem> items;
  std::vector<const TextLine*> after;  // lines after the items: the group
  int dimension = 0;
  for (const TextLine& line : text.lines) {
    const auto& f = line.fields;
    int k = 0, type = 0, categories = 0;
    const bool shaped = f.size() >= 5 && !isNumberField(f[0]) && isCountField(f[1], 1, 25, k) &&
                        isCountField(f[2], 1, 100, type) &&
                        isCountField(f[3], 2, 1000, categories) && after.empty();
    if (!shaped) {
      if (items.empty())
        return missedLayout(
            layout, 0.0,
            lineName(line) + " is no item line (label, dimensions, type, categories, values)");
      after.push_back(&line);
      continue;
    }
    if (dimension == 0) dimension = k;
    if (k != dimension) {
      return missedLayout(layout, 0.5,
                          lineName(line) + " has " + std::to_string(k) +
                              " dimensions where the first item has " + std::to_string(dimension));
    }
    PrmItem item{&line, Kind::Other, {}};
    const std::size_t values = f.size() - 4;
    if (type == 1 && categories == 2 && values >= static_cast<std::size_t>(k + 2)) {
      item.kind = Kind::ThreePL;
    } else if (type == 2 && categories == 2 && values >= static_cast<std::size_t>(k + 1)) {
      item.kind = Kind::TwoPL;
    } else {
      item.why = type == 2 ? "graded, " + std::to_string(categories) + " categories"
                           : "item type " + std::to_string(type);
    }
    const std::size_t used = item.kind == Kind::ThreePL ? k + 2
                             : item.kind == Kind::TwoPL ? k + 1
                                                        : 0;
    for (std::size_t i = 4; i < 4 + used; ++i) {
      if (!isNumberField(f[i]))
        return missedLayout(layout, 0.7, lineName(line) + ": '" + f[i] + "' is not a number");
    }
    items.push_back(item);
  }
  const bool readable = std::any_of(items.begin(), items.end(),
                                    [](const PrmItem& i) { return i.kind != Kind::Other; });
  if (!readable || after.size() > 2) {
    return missedLayout(layout, readable ? 0.6 : 0.3,
                        !readable ? "no item is a 2PL or a 3PL"
                                  : std::to_string(after.size()) + " lines after the items (from " +
                                        lineName(*after.front()) + ") are no item lines");
  }
  std::string groupNote;
  if (!after.empty()) groupNote = "the group line (" + lineName(*after.front()) + ") is skipped";
  LayoutAttempt attempt;
  attempt.layout = keepOneKind(text, layout + " (layout from documentation only)", items, dimension,
                               "XXXX" + slopes(dimension) + "DG", "XXXX" + slopes(dimension) + "D",
                               groupNote, 0);
  attempt.layout.spec.oneRecordPerLine = text.separator == ' ' ? 1 : 0;
  return attempt;
}
