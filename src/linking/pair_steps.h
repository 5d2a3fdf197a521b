// Steps that every engine takes around each pair of data files.
#pragma once

#include <vector>

#include "linking/run_settings.h"

// Copies the names of the pair in work into the job and posts progress; then polls the stop
// event. Returns true when the run is to stop.
bool announcePairAndPollStop(RunSettings& s);

// Copies block into the job's result area from element 1 on (element 0 is the worker's).
void storeTransformation(const RunSettings& s, const std::vector<double>& block);
