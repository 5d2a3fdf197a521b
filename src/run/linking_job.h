// LinkingJob: the record of one linking run, shared by its launcher and the worker.
//
// The launcher fills the path and the host before the worker starts and never changes them
// afterwards; from then on it only sets stopEvent and reads workerFinished. The worker reads
// the path and the host, polls stopEvent, writes resultArea, sets doneEvent as the run's last
// announced step, and (through startLinkingThread) workerFinished when its thread function
// returns, on every path. Share the job with std::shared_ptr when the launcher and the worker
// may end in either order; the job owns its host in the same way.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "numerics/evaluation_options.h"
#include "run/diagnostics_options.h"
#include "run/link_input.h"
#include "run/pair_outcome.h"
#include "run/run_event.h"
#include "run/run_host.h"

struct RunSettings;

struct LinkingJob {
  std::string parameterFilePath;
  // Never null while a run works.
  std::shared_ptr<RunHost> host;
  // Written by the worker; read it only once workerFinished is set. Element 0 receives the
  // run's criterion, elements 1.. the last transformation block.
  std::vector<double> resultArea;
  RunEvent doneEvent{RunEvent::Reset::Automatic};
  RunEvent stopEvent{RunEvent::Reset::Manual};
  // Set when the worker's thread function has returned, whatever the path (also when the
  // parameter file could not be opened, which posts no done and sets no done event).
  std::atomic<bool> workerFinished{false};
  // Report blocks the worker could not write to the report file (the user was told).
  std::atomic<int> reportWriteFailures{0};
  int openOutputView = 1;
  // Set by the launcher before the worker starts: the engine appends one outcome per pair to
  // pairOutcomes (read it only once workerFinished is set). evaluateReferenceCriteria adds the
  // criterion at the identity and at the search's start (extra evaluations that leave the
  // search and its printed numbers as they are).
  bool collectPairOutcomes = false;
  bool evaluateReferenceCriteria = false;
  std::vector<PairOutcome> pairOutcomes;
  // How Models 3 and 4 compute their criterion (threads, described or structured).
  EvaluationOptions evaluation;
  // Set by the launcher before the worker starts: the run takes its settings and one pair's
  // data from here and reads no file (parameterFilePath then only names the run).
  std::shared_ptr<const LinkInput> input;
  // Set by the launcher before the worker starts: items to leave out, and what each linked
  // pair's outcome gets beyond the link (needs collectPairOutcomes).
  DiagnosticsOptions diagnostics;
  // Called on the worker with each linked pair's settings and outcome, before the outcome is
  // stored (see attachDiagnostics); empty: nothing is added.
  std::function<void(const RunSettings&, PairOutcome&)> afterPairLinked;
};
