#include "data/item_categories.h"

#include <algorithm>

bool ItemCategories::polytomous() const {
  return std::any_of(counts.begin(), counts.end(), [](int m) { return m > 2; });
}

void ItemCategories::clear() {
  kinds.clear();
  counts.clear();
  starts.clear();
  rest.clear();
}

void ItemCategories::add(ItemKind kind, int count, const double* restValues) {
  if (starts.empty()) starts.push_back(0);
  kinds.push_back(count == 2 ? ItemKind::Dichotomous : kind);
  counts.push_back(count);
  if (count > 2) rest.insert(rest.end(), restValues, restValues + (count - 2));
  starts.push_back(rest.size());
}

void ItemCategories::addDichotomous(std::size_t n) {
  for (std::size_t j = 0; j < n; ++j) add(ItemKind::Dichotomous, 2, nullptr);
}

ItemCategories ItemCategories::select(const std::vector<std::size_t>& kept) const {
  ItemCategories out;
  if (empty()) return out;
  for (std::size_t j : kept) out.add(kinds[j], counts[j], restOf(j));
  return out;
}

void ItemCategories::scaleIntercepts(double factor) {
  for (double& d : rest) d *= factor;
}

std::string describeItem(ItemKind kind, int count) {
  if (count <= 2) return "dichotomous";
  const std::string categories = ", " + std::to_string(count) + " categories";
  return (kind == ItemKind::PartialCredit ? "partial credit" : "graded") + categories;
}

std::string interceptOrderProblem(ItemKind kind, int count, double first, const double* rest) {
  if (kind != ItemKind::Graded || count <= 2) return {};
  double previous = first;
  for (int k = 0; k < count - 2; ++k) {
    if (!(rest[k] < previous)) {
      return "the intercepts of a graded item must decrease (d" + std::to_string(k + 1) + " > d" +
             std::to_string(k + 2) + ")";
    }
    previous = rest[k];
  }
  return {};
}

std::string categoryMismatch(const ItemCategories& from, const ItemCategories& to,
                             std::size_t items) {
  std::string out;
  int found = 0;
  for (std::size_t j = 0; j < items; ++j) {
    const ItemKind fk = from.kind(j), tk = to.kind(j);
    const int fm = from.count(j), tm = to.count(j);
    if (fk == tk && fm == tm) continue;
    if (++found > 5) {
      out += ", ...";
      break;
    }
    out += (out.empty() ? "item " : ", item ") + std::to_string(j + 1) + " (" +
           describeItem(fk, fm) + " in From, " + describeItem(tk, tm) + " in To)";
  }
  return out;
}

std::string describePolytomousItems(const ItemCategories& categories) {
  std::string text;
  for (const ItemKind kind : {ItemKind::Graded, ItemKind::PartialCredit}) {
    int items = 0, fewest = kMostCategories, most = 0;
    for (std::size_t j = 0; j < categories.size(); ++j) {
      if (categories.kind(j) != kind) continue;
      ++items;
      fewest = std::min(fewest, categories.count(j));
      most = std::max(most, categories.count(j));
    }
    if (items == 0) continue;
    text += (text.empty() ? "" : ", ") + std::to_string(items) +
            (kind == ItemKind::Graded ? " graded (" : " partial credit (") +
            std::to_string(fewest) +
            (most > fewest ? " to " + std::to_string(most) : std::string()) + " categories)";
  }
  return text;
}
