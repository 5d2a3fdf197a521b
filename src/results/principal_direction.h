// The first principal direction of a set of slope vectors: the unit eigenvector of the largest
// eigenvalue of sum_j a_j a_j'. Along it the items discriminate most, so the test
// characteristic curves of a multidimensional pair are drawn along it as well as along each
// axis. The eigenvectors come from the cyclic Jacobi method, which suits the small symmetric
// matrices (d at most 25) met here.
#pragma once

#include <vector>

struct SymmetricEigen {
  std::vector<double> values;                // descending
  std::vector<std::vector<double>> vectors;  // vectors[k] belongs to values[k], unit length
};

// matrix is n x n row by row and symmetric (only its upper triangle is read).
SymmetricEigen symmetricEigen(const std::vector<double>& matrix, int n);

// The leading eigenvector of sum_j a_j a_j' for slopes of d coordinates each, its largest
// coordinate (in absolute value) made positive. All slopes zero, or none: the first axis.
std::vector<double> principalDirection(const std::vector<std::vector<double>>& slopes, int d);
