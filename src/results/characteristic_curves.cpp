#include "results/characteristic_curves.h"

#include <algorithm>
#include <cmath>

double itemResponse(const ResultsItemParameters& item, const std::vector<double>& theta) {
  double z = item.intercept;
  for (std::size_t k = 0; k < item.slopes.size() && k < theta.size(); ++k) {
    z += item.slopes[k] * theta[k];
  }
  return item.asymptote + (1.0 - item.asymptote) / (1.0 + std::exp(-z));
}

CharacteristicCurves characteristicCurves(const std::vector<ResultsItem>& items,
                                          const std::vector<double>& direction, double low,
                                          double high, int points) {
  points = std::max(points, 2);
  CharacteristicCurves curves;
  std::vector<double> theta(direction.size());
  for (int i = 0; i < points; ++i) {
    const double s = low + (high - low) * i / (points - 1);
    for (std::size_t k = 0; k < direction.size(); ++k) theta[k] = s * direction[k];
    double to = 0.0, before = 0.0, after = 0.0;
    for (const ResultsItem& item : items) {
      to += itemResponse(item.to, theta);
      before += itemResponse(item.from, theta);
      after += itemResponse(item.fromTransformed, theta);
    }
    curves.s.push_back(s);
    curves.to.push_back(to);
    curves.fromBefore.push_back(before);
    curves.fromAfter.push_back(after);
  }
  return curves;
}

std::pair<double, double> curveRange(const ResultsPair& pair) {
  if (pair.thetaRange && std::isfinite(pair.thetaRange->first) &&
      std::isfinite(pair.thetaRange->second)) {
    return *pair.thetaRange;
  }
  return {-4.0, 4.0};
}
