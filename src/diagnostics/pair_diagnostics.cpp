#include "diagnostics/pair_diagnostics.h"

#include "diagnostics/item_diagnostics.h"
#include "diagnostics/pair_data.h"
#include "diagnostics/standard_errors.h"

#include <string>

namespace {

// Item responses past which the item diagnostics (one response per point and item, To and
// transformed From) are not computed: a grid of G^d points grows past any time budget.
constexpr double kItemResponseLimit = 268435456.0;

std::string countText(const PairData& data) {
  return std::to_string(data.points.pointCount()) + " points x " + std::to_string(data.items) +
         " items";
}

}  // namespace

void attachDiagnostics(LinkingJob& job, const DiagnosticsOptions& options) {
  job.diagnostics = options;
  if (options.wanted()) job.afterPairLinked = diagnosePair;
}

void diagnosePair(const RunSettings& s, PairOutcome& outcome) {
  const LinkingJob& job = *s.job;
  const DiagnosticsOptions& options = job.diagnostics;
  if (outcome.A.empty() || outcome.b.empty()) return;
  // A copy: reading the files again must not change the run's own record of them.
  RunSettings copy = s;
  PairData data;
  if (!readPairData(copy, data)) return;
  outcome.thetaRange = std::make_pair(data.lowest, data.highest);
  const double responses =
      static_cast<double>(data.points.pointCount()) * static_cast<double>(data.items);
  // A stop request ends the diagnostics too; the pair keeps its link.
  LinkingJob* running = s.job;
  const std::function<bool()> stop = [running] { return running->stopEvent.poll(); };
  if (options.itemDiagnostics && responses > kItemResponseLimit) {
    outcome.diagnosticsNote = "item diagnostics left out: " + countText(data) +
                              " are more responses than they are computed for (2^28)";
  } else if (options.itemDiagnostics) {
    outcome.driftCutoff = options.driftCutoff;
    outcome.itemDiagnostics =
        diagnoseItems(data, outcome.A, outcome.b, options.driftCutoff, stop);
  }
  if (options.errors == DiagnosticsOptions::Errors::None || outcome.M.empty()) return;
  const bool bootstrap = options.errors == DiagnosticsOptions::Errors::Bootstrap;
  const double replications = bootstrap ? options.bootstrapReplications : data.items;
  if (options.errorsWorkLimit > 0.0 && replications * responses > options.errorsWorkLimit) {
    if (!outcome.diagnosticsNote.empty()) outcome.diagnosticsNote += "; ";
    outcome.diagnosticsNote += "standard errors left out: " + countText(data) + " in " +
                               std::to_string(static_cast<long long>(replications)) +
                               " replications take too long here (torvak-link --se computes them)";
    return;
  }
  outcome.standardErrors =
      computeStandardErrors(data, outcome.A, outcome.b, options, job.evaluation.threads, stop);
}
