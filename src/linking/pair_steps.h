// Steps that every engine takes around each pair of data files.
#pragma once

#include <vector>

#include "linking/run_settings.h"

// Posts a progress note with the names of the pair in work and, during a search, its step
// and current criterion.
void postPairProgress(const RunSettings& s, long searchStep = 0, double criterion = 0.0);

// Posts the progress of a new pair; then polls the stop event. Returns true when the run is
// to stop.
bool announcePairAndPollStop(const RunSettings& s);

// Copies block into the job's result area from element 1 on (element 0 is the worker's).
void storeTransformation(const RunSettings& s, const std::vector<double>& block);
