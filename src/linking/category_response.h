// The responses of a polytomous item at one point, as functions of s = a'theta*.
//
// Graded (m categories, intercepts d_1 > .. > d_(m-1)): the boundaries P*_k = logistic(d_k + s)
// as logisticResponse() gives them (c = 0, flat outside [-20, 20]), P*_0 = 1, P*_m = 0, and
// P_k = P*_k - P*_(k+1). Partial credit: P_k = exp(u_k - u_max) / sum, u_k = k s + d_k (d_0 = 0),
// each exponent held above -500. Both give the expected score E = sum k P_k with its first two
// derivatives in s, and each category's P_k, P'_k, P''_k. Every z = d_k + a'theta* is summed as
// the response kernels sum it (the intercept, then a_1 theta*_1, ...), so the structured and
// the point-by-point evaluations compute the same responses.
#pragma once

#include <algorithm>
#include <cmath>

#include "data/item_categories.h"
#include "linking/logistic_response.h"

// The lowest exponent of a partial credit category, relative to the largest: exp(-500) is
// 7e-218, nothing next to the largest category's 1.
inline constexpr double kLowestCategoryExponent = -500.0;

struct CategoryResponses {
  int count = 0;
  double p[kMostCategories] = {};
  double first[kMostCategories] = {};   // dP_k / ds, order >= 1
  double second[kMostCategories] = {};  // d2P_k / ds2, order 2
  double score = 0.0, scoreFirst = 0.0, scoreSecond = 0.0;  // E, E', E''
};

// z = d + a'theta*, summed in the kernels' order.
inline double linearScore(double intercept, const double* slopes, const double* thetaStar,
                          int d) {
  double z = intercept;
  for (int k = 0; k < d; ++k) z += slopes[k] * thetaStar[k];
  return z;
}

// intercepts: d_1 .. d_(m-1).
inline void gradedResponses(const double* slopes, const double* thetaStar, int d,
                            const double* intercepts, int count, int order,
                            CategoryResponses& out) {
  out.count = count;
  out.score = out.scoreFirst = out.scoreSecond = 0.0;
  Response upper;  // P*_k of the category below: P*_0 = 1
  upper.p = 1.0;
  for (int k = 0; k < count; ++k) {
    Response lower;  // P*_(k+1); P*_m = 0
    if (k + 1 < count) {
      lower = logisticResponse(linearScore(intercepts[k], slopes, thetaStar, d), 0.0, order);
      out.score += lower.p;
      out.scoreFirst += lower.first;
      out.scoreSecond += lower.second;
    }
    out.p[k] = upper.p - lower.p;
    out.first[k] = upper.first - lower.first;
    out.second[k] = upper.second - lower.second;
    upper = lower;
  }
}

// intercepts: d_1 .. d_(m-1) (d_0 = 0).
inline void partialCreditResponses(const double* slopes, const double* thetaStar, int d,
                                   const double* intercepts, int count, int order,
                                   CategoryResponses& out) {
  out.count = count;
  const double s = linearScore(0.0, slopes, thetaStar, d);
  double u[kMostCategories];
  double largest = 0.0;  // u_0 = 0
  u[0] = 0.0;
  for (int k = 1; k < count; ++k) {
    u[k] = k * s + intercepts[k - 1];
    largest = std::max(largest, u[k]);
  }
  double sum = 0.0;
  for (int k = 0; k < count; ++k) {
    out.p[k] = std::exp(std::max(u[k] - largest, kLowestCategoryExponent));
    sum += out.p[k];
  }
  double score = 0.0;
  for (int k = 0; k < count; ++k) {
    out.p[k] = out.p[k] / sum;
    score += k * out.p[k];
  }
  out.score = score;
  if (order < 1) return;
  double variance = 0.0, third = 0.0;
  for (int k = 0; k < count; ++k) {
    const double centred = k - score;
    out.first[k] = out.p[k] * centred;
    variance += centred * out.first[k];
    third += centred * centred * out.first[k];
  }
  out.scoreFirst = variance;
  out.scoreSecond = third;
  if (order < 2) return;
  for (int k = 0; k < count; ++k) {
    const double centred = k - score;
    out.second[k] = out.p[k] * (centred * centred - variance);
  }
}

inline void categoryResponses(ItemKind kind, const double* slopes, const double* thetaStar, int d,
                              const double* intercepts, int count, int order,
                              CategoryResponses& out) {
  if (kind == ItemKind::PartialCredit) {
    partialCreditResponses(slopes, thetaStar, d, intercepts, count, order, out);
  } else {
    gradedResponses(slopes, thetaStar, d, intercepts, count, order, out);
  }
}
