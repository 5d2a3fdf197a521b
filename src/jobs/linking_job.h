// LinkingJob: the record of one linking run, shared by its launcher, the worker and the engine.
//
// The launcher fills the path, the host and, optionally, the result area; the engine writes the
// three names of the pair in work before each progress post; the launcher sets stopEvent, and
// the worker sets doneEvent as its last action. Own it with a std::shared_ptr when the launcher
// and the worker may end in either order.
#pragma once

#include <string>
#include <vector>

#include "jobs/run_event.h"
#include "jobs/run_host.h"
#include "numerics/evaluation_options.h"

struct LinkingJob {
  std::string parameterFilePath;
  // Optional: element 0 receives the run's criterion, elements 1.. the transformation block.
  std::vector<double>* resultArea = nullptr;
  // Never null while a run works; the launcher keeps the host alive until the worker ends.
  RunHost* host = nullptr;
  RunEvent doneEvent{RunEvent::Reset::Automatic};
  RunEvent stopEvent{RunEvent::Reset::Manual};
  std::string fromFileName;
  std::string toFileName;
  std::string empiricalFileName;
  int openOutputView = 1;
  // How Models 3 and 4 compute their criterion (threads, described or structured).
  EvaluationOptions evaluation;

  // Posts a progress note with the current names, and, in a search, its step and criterion.
  void postProgress(long searchStep = 0, double criterion = 0.0) const;
};
