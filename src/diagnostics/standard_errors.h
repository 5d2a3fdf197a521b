// Standard errors of M and t over replications of a pair's link on resampled common items.
//
// Jackknife: J replications, each leaving one item out; SE = sqrt((J-1)/J sum (x_i - mean)^2).
// Bootstrap: B replications, each drawing J items with replacement from its own random stream
// seeded by (seed, i); SE = the standard deviation of the replications, interval = their
// 2.5 % and 97.5 % quantiles. Every replication starts from the pair's solution. A replication
// whose search fails (or whose A is singular) is counted and left out. Replications are spread
// over threads and combined in replication order, so results do not depend on the thread
// count. What they measure is the sampling of the common items, not the estimation error of
// the calibrations.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "diagnostics/pair_data.h"
#include "run/diagnostics_options.h"
#include "run/pair_outcome.h"

// The items bootstrap replication i links: indices into the pair's items, drawn with
// replacement.
std::vector<int> bootstrapDraw(unsigned long long seed, int replication, int items);

// a, b: the pair's fitted solution. threads: 0 for one per core. stop: polled between rounds
// of replications; nullopt when it asked to stop. With fewer than two replications that
// succeeded, the errors are left empty and only the counts are given.
std::optional<StandardErrors> computeStandardErrors(const PairData& data,
                                                    const std::vector<double>& a,
                                                    const std::vector<double>& b,
                                                    const DiagnosticsOptions& options,
                                                    int threads,
                                                    const std::function<bool()>& stop);
