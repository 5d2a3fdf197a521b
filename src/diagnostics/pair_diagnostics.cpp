#include "diagnostics/pair_diagnostics.h"

#include "diagnostics/item_diagnostics.h"
#include "diagnostics/pair_data.h"
#include "diagnostics/standard_errors.h"

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
  // A stop request ends the diagnostics too; the pair keeps its link.
  LinkingJob* running = s.job;
  const std::function<bool()> stop = [running] { return running->stopEvent.poll(); };
  if (options.itemDiagnostics) {
    outcome.driftCutoff = options.driftCutoff;
    outcome.itemDiagnostics =
        diagnoseItems(data, outcome.A, outcome.b, options.driftCutoff, stop);
  }
  if (options.errors != DiagnosticsOptions::Errors::None && !outcome.M.empty()) {
    outcome.standardErrors =
        computeStandardErrors(data, outcome.A, outcome.b, options, job.evaluation.threads, stop);
  }
}
