// The categories of a file's items, beside its slopes, intercepts and guessing arrays.
//
// Three item models: the dichotomous three-parameter logistic of every file so far; the
// graded response model, P(X >= k) = 1 / (1 + exp(-(a'theta + d_k))), k = 1 .. m-1, with
// d_1 > d_2 > ...; and the generalized partial credit model, P(X = k) proportional to
// exp(k a'theta + d_k), k = 0 .. m-1, d_0 = 0. An item of 2 categories is dichotomous
// whatever model wrote it (a graded or partial credit item of 2 categories is a 2PL), so
// files of such items link as they always have.
//
// An item keeps its first intercept d_1 in the intercepts array (where a dichotomous item
// keeps its d) and its guessing there too (0 for a polytomous item); d_2 .. d_(m-1) are kept
// here. An empty record means every item is dichotomous.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ItemKind : std::uint8_t { Dichotomous, Graded, PartialCredit };

inline constexpr int kMostCategories = 20;

struct ItemCategories {
  std::vector<ItemKind> kinds;       // one per item
  std::vector<int> counts;           // categories per item: 2 for a dichotomous item
  std::vector<std::size_t> starts;   // items + 1 entries: where an item's d_2 .. begin in rest
  std::vector<double> rest;          // d_2 .. d_(m-1) of every item, in item order

  std::size_t size() const { return kinds.size(); }
  bool empty() const { return kinds.empty(); }
  // Whether any item has more than 2 categories.
  bool polytomous() const;
  void clear();
  // Adds an item: kind and count as read (an item of 2 categories is stored as dichotomous),
  // and its count - 2 intercepts after the first.
  void add(ItemKind kind, int count, const double* restValues);
  // Adds n dichotomous items.
  void addDichotomous(std::size_t n);
  // Intercepts d_2 .. of item j, count(j) - 2 of them.
  const double* restOf(std::size_t j) const { return rest.data() + starts[j]; }
  ItemKind kind(std::size_t j) const { return empty() ? ItemKind::Dichotomous : kinds[j]; }
  int count(std::size_t j) const { return empty() ? 2 : counts[j]; }
  // Model values of item j: 1 for a dichotomous item, its categories otherwise.
  int values(std::size_t j) const { return count(j) == 2 ? 1 : count(j); }
  // The items at the given positions, in that order.
  ItemCategories select(const std::vector<std::size_t>& kept) const;
  // Multiplies every intercept kept here by factor (the 1.702 of the normal metric).
  void scaleIntercepts(double factor);
};

// "dichotomous", "graded, 5 categories", "partial credit, 4 categories".
std::string describeItem(ItemKind kind, int count);

// "2 graded (3 to 5 categories), 1 partial credit (4 categories)"; empty when every item is
// dichotomous.
std::string describePolytomousItems(const ItemCategories& categories);

// Why a polytomous item's intercepts (first, then rest) are not in the order its model needs;
// empty when they are. A graded item's must decrease (d_1 > d_2 > ...); a partial credit
// item's may lie in any order.
std::string interceptOrderProblem(ItemKind kind, int count, double first, const double* rest);

// The items (from 1) where from and to differ in kind or category count, in words:
// "item 3 (graded, 4 categories in From, graded, 5 categories in To), item 7 (...)", up to
// five of them and "..."; empty when every item matches. items: the count of both files' items.
std::string categoryMismatch(const ItemCategories& from, const ItemCategories& to,
                             std::size_t items);
