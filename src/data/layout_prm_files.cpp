// flexMIRT and IRTPRO -prm.txt files: one line per item, its type and category count in
// fixed fields, then group lines. 3PL, 2PL and graded items are read; a file of one
// dichotomous kind keeps the plain format of that kind, and a file that mixes kinds is read by
// the item model and category count of each line (M, K). Items of other types are left out by
// the row-skip list and named.
#include <algorithm>
#include <map>

#include "data/item_categories.h"
#include "data/layout_text.h"
#include "data/row_skip.h"

namespace {

enum class Kind { ThreePL, TwoPL, Graded, Other };

struct PrmItem {
  const TextLine* line;
  Kind kind;
  std::string why;  // Other: the item type in words
};

std::string slopes(int k) { return std::string(static_cast<std::size_t>(k), 'A'); }

// The formats that read a file's items: one for 3PL lines alone, one for 2PL lines alone, and
// one for a mix of kinds.
struct PrmFormats {
  std::string threePl, twoPl, mixed;
};

// "3PL and graded items"
std::string kindsRead(const std::vector<PrmItem>& items) {
  std::vector<std::string> names;
  for (const auto& [kind, name] : {std::pair{Kind::ThreePL, "3PL"}, std::pair{Kind::TwoPL, "2PL"},
                                   std::pair{Kind::Graded, "graded"}}) {
    if (std::any_of(items.begin(), items.end(), [&](const PrmItem& i) { return i.kind == kind; }))
      names.push_back(name);
  }
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
  }
  return text + " items";
}

// Reads the 3PL, 2PL and graded lines; lines of other item types are skipped and named.
RecognizedLayout keepReadable(const LayoutText& text, const std::string& layout,
                              const std::vector<PrmItem>& items, int dimension,
                              const PrmFormats& formats, const std::string& otherLines,
                              std::size_t labelField) {
  const auto count = [&](Kind kind) {
    return std::count_if(items.begin(), items.end(),
                         [&](const PrmItem& i) { return i.kind == kind; });
  };
  RecognizedLayout found = recognizedAs(text, layout + ", " + kindsRead(items));
  found.dimension = dimension;
  found.metric = 0;
  const bool mixed =
      count(Kind::Graded) > 0 || (count(Kind::ThreePL) > 0 && count(Kind::TwoPL) > 0);
  found.spec.columnFormat = mixed                     ? formats.mixed
                            : count(Kind::ThreePL) > 0 ? formats.threePl
                                                       : formats.twoPl;
  found.spec.oneRecordPerLine = text.separator == ' ' ? 1 : 0;
  std::vector<long long> keptLines;
  std::string leftOut;
  int leftOutCount = 0;
  for (const PrmItem& item : items) {
    if (item.kind != Kind::Other) {
      keptLines.push_back(item.line->counted);
      continue;
    }
    if (++leftOutCount <= 5) {
      leftOut += (leftOut.empty() ? "" : ", ") + item.line->fields[labelField] + " (" +
                 lineName(*item.line) + ", " + item.why + ")";
    }
  }
  found.count = static_cast<long long>(keptLines.size());
  found.spec.rowSkip = rowSkipListKeeping(keptLines, text.lastCounted);
  if (leftOutCount > 0) {
    found.notes.push_back(std::to_string(leftOutCount) + " item" +
                          (leftOutCount > 1 ? "s are" : " is") + " left out: " + leftOut +
                          (leftOutCount > 5 ? ", ..." : "") +
                          "; Torvak reads 3PL, 2PL and graded items of this file");
  }
  if (!otherLines.empty()) found.notes.push_back(otherLines);
  return found;
}

bool readable(const std::vector<PrmItem>& items) {
  return std::any_of(items.begin(), items.end(),
                     [](const PrmItem& i) { return i.kind != Kind::Other; });
}

}  // namespace

// flexMIRT: "1 label group k type categories ..." per item, "0 label group k ..." per group.
// Type 1 with 2 categories is a 3PL (logit(g) d a1..ak), type 2 a graded item (d1 .. d(m-1)
// a1..ak): with 2 categories a 2PL (d a1..ak). Type 3 (nominal) is not read.
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
    const auto holds = [&](int count) { return values == static_cast<std::size_t>(count); };
    if (type == 1 && categories == 2 && holds(2 + k)) {
      item.kind = Kind::ThreePL;
    } else if (type == 2 && categories == 2 && holds(1 + k)) {
      item.kind = Kind::TwoPL;
    } else if (type == 2 && categories > 2 && categories <= kMostCategories &&
               holds(categories - 1 + k)) {
      item.kind = Kind::Graded;
    } else if (type == 2) {
      item.why = "graded, " + std::to_string(categories) + " categories";
    } else {
      item.why = (type == 3 ? std::string("nominal") : "item type " + std::to_string(type)) +
                 ", " + std::to_string(categories) + " categories";
    }
    for (std::size_t i = 6; item.kind != Kind::Other && i < n; ++i) {
      if (!isNumberField(f[i])) {
        return missedLayout(layout, 0.7, lineName(line) + ": '" + f[i] + "' is not a number");
      }
    }
    items.push_back(item);
  }
  if (!readable(items)) {
    return missedLayout(layout, 0.8,
                        items.empty() ? "the file holds no item line"
                                      : "no item is a 2PL, a 3PL or a graded item: Torvak reads "
                                        "no other item type of this file");
  }
  std::string groupNote;
  if (!groups.empty()) {
    groupNote = std::to_string(groups.size()) + " group line" + (groups.size() > 1 ? "s" : "") +
                " (from " + lineName(*groups.front()) + ") skipped";
  }
  if (!otherGroups.empty()) groupNote += (groupNote.empty() ? "" : "; ") + otherGroups;
  // Mixed: M the item type, K the categories, G the logit guessing of 3PL lines only, D the
  // first intercept, R the others of a graded line, then the slopes.
  const PrmFormats formats{"XXXXXXGD" + slopes(dimension), "XXXXXXD" + slopes(dimension),
                           "XXXXMKGDR" + slopes(dimension)};
  LayoutAttempt attempt;
  attempt.layout = keepReadable(text, layout, items, dimension, formats, groupNote, 1);
  return attempt;
}

// IRTPRO: "label k type categories a1..ak d ..." per item (type 1 a 3PL with logit(g) after
// d, type 2 a graded item with d1 .. d(m-1) after the slopes, with 2 categories a 2PL), then
// group lines. Words past the format (the b and g of the other parameterization) are ignored.
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
    const auto holds = [&](int count) { return values >= static_cast<std::size_t>(count); };
    if (type == 1 && categories == 2 && holds(k + 2)) {
      item.kind = Kind::ThreePL;
    } else if (type == 2 && categories == 2 && holds(k + 1)) {
      item.kind = Kind::TwoPL;
    } else if (type == 2 && categories > 2 && categories <= kMostCategories &&
               holds(k + categories - 1)) {
      item.kind = Kind::Graded;
    } else {
      item.why = type == 2 ? "graded, " + std::to_string(categories) + " categories"
                           : "item type " + std::to_string(type);
    }
    const std::size_t used = item.kind == Kind::ThreePL ? k + 2
                             : item.kind == Kind::TwoPL ? k + 1
                             : item.kind == Kind::Graded
                                 ? static_cast<std::size_t>(k + categories - 1)
                                 : 0;
    for (std::size_t i = 4; i < 4 + used; ++i) {
      if (!isNumberField(f[i]))
        return missedLayout(layout, 0.7, lineName(line) + ": '" + f[i] + "' is not a number");
    }
    items.push_back(item);
  }
  if (!readable(items) || after.size() > 2) {
    return missedLayout(layout, readable(items) ? 0.6 : 0.3,
                        !readable(items)
                            ? "no item is a 2PL, a 3PL or a graded item"
                            : std::to_string(after.size()) + " lines after the items (from " +
                                  lineName(*after.front()) + ") are no item lines");
  }
  std::string groupNote;
  if (!after.empty()) groupNote = "the group line (" + lineName(*after.front()) + ") is skipped";
  // Mixed: M the item type, K the categories, the slopes, D the first intercept, R the others
  // of a graded line, G the logit guessing of 3PL lines only.
  const PrmFormats formats{"XXXX" + slopes(dimension) + "DG", "XXXX" + slopes(dimension) + "D",
                           "XXMK" + slopes(dimension) + "DRG"};
  LayoutAttempt attempt;
  attempt.layout = keepReadable(text, layout + " (layout from documentation only)", items,
                                dimension, formats, groupNote, 0);
  attempt.layout.spec.oneRecordPerLine = text.separator == ' ' ? 1 : 0;
  return attempt;
}
