// LinkingThreadProc: one linking run, from the parameter file to the final status.
//
// The worker pre-scans the parameter file for "Model_Type=" (last one wins) and counts its
// "$Data_Files" entries, builds the engine of that model (1, 3 or 4; any other model links
// nothing and ends with status 0), runs it over that many pairs, and announces the end:
// "Linking Done: " or "Error: (<status>) in Linking: " and the path as the status text, a beep,
// the done post and the done event. Runs on its own thread; touches the job only as described
// in linking_job.h.
#pragma once

#include "jobs/linking_job.h"

// Returns the run's status: 0 on success, the engine's status code, or 1 when the parameter
// file cannot be opened (then nothing is announced and the done event stays clear) or a
// "Model_Type=" value is not a number.
int LinkingThreadProc(LinkingJob* job);

struct PreScan {
  bool opened = false;
  int modelType = 0;
  int pairCount = 0;
  std::string error;  // a "Model_Type=" value that is not a number
};

PreScan preScanParameterFile(const std::string& path);
