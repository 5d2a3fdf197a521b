// Test characteristic curves of a linked pair: the expected score sum_j P_j(theta) of its
// common items along a line through the origin, theta = s u for a unit direction u, for the To
// items, the From items as read (before the link) and the From items after the link
// (a* = A'a, d* = d + a'b, asymptote unchanged). When the link works, the curve after it lies
// on the To curve. P is the compensatory 3PL on the logistic scale:
//   P(theta) = c + (1 - c) / (1 + exp(-(a'theta + d))).
#pragma once

#include <vector>

#include "results/results_record.h"

struct CharacteristicCurves {
  std::vector<double> s;  // the coordinate along the direction
  std::vector<double> to, fromBefore, fromAfter;
};

double itemResponse(const ResultsItemParameters& item, const std::vector<double>& theta);

// points values of s evenly from low to high (both included; points at least 2).
CharacteristicCurves characteristicCurves(const std::vector<ResultsItem>& items,
                                          const std::vector<double>& direction, double low,
                                          double high, int points = 81);

// The theta range of the curves: the pair's, or [-4, 4] when it has none.
std::pair<double, double> curveRange(const ResultsPair& pair);
