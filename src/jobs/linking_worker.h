// LinkingThreadProc: one linking run, from the parameter file to the final status.
//
// The worker pre-scans the parameter file for "Model_Type=" (last one wins) and counts its
// "$Data_Files" entries, builds the engine of that model (1, 3 or 4; any other model links
// nothing and ends with status 0), runs it over that many pairs, and announces the end: its
// RunEnding (by default "Linking Done: " or "Error: (<status>) in Linking: " and the path as
// the status text), a beep, the done post and the done event. Nothing thrown inside a run leaves the worker: it is shown
// as a message and the run ends with kWorkerFailed.
//
// Threads: runs on its own thread; reads the job's path and host, polls its stop event and
// writes its result area, as linking_job.h describes. startLinkingThread is how launchers start
// it: the thread shares the job, and marks it finished on every path.
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "linking/entry_plan.h"
#include "run/linking_job.h"

// Status of a run ended by an error no engine handled (the message names it).
inline constexpr int kWorkerFailed = 10;

// Returns the run's status: 0 on success, the engine's status code, 1 when the parameter
// file cannot be opened or read (then nothing is announced and the done event stays clear) or
// a "Model_Type=" value is not a number, kWorkerFailed after an unexpected error.
int LinkingThreadProc(LinkingJob* job);

// Starts LinkingThreadProc on job in a new thread that holds a share of the job; when the
// procedure returns, its status goes to *status (when given) and job->workerFinished is set.
std::thread startLinkingThread(std::shared_ptr<LinkingJob> job,
                               std::shared_ptr<int> status = nullptr);

struct PreScan {
  bool opened = false;  // false also when the file could not be read to its end
  int modelType = 0;
  int pairCount = 0;
  std::string error;  // a "Model_Type=" value that is not a number
  std::vector<DataFileEntry> entries;  // the "$Data_Files" entries in file order
};

PreScan preScanParameterFile(const std::string& path);
// What a run given in memory links: one pair of its model.
PreScan preScanOfInput(const LinkInput& input);

// Why a run of a file with this pre-scan, ended with status 0, linked no pair.
std::string nothingLinkedReason(const PreScan& scan, bool anyPairWorked);

// Whether a model type has an engine that links pairs (1, 3 and 4).
inline bool modelLinksPairs(int modelType) {
  return modelType == 1 || modelType == 3 || modelType == 4;
}
