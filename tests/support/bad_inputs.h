// The catalogue of bad inputs that both runners must answer: each row writes a parameter file
// (and its data files) into a folder and says how a run of it must end.
#pragma once

#include <string>
#include <vector>

#include "support/report_blocks.h"
#include "support/temp_dir.h"

struct BadInput {
  std::string name;
  // Writes the files into dir; returns the parameter file's path. Empty: skip the row (the
  // reason is in skipReason).
  std::string (*write)(const TempDir& dir);
  int status;              // the run's status as the worker and the desktop report it
  std::vector<int> exits;  // torvak-link's accepted exit statuses
  std::string shown;       // part of a message or warning; empty for none expected
};

const std::vector<BadInput>& badInputs();

// Why a row cannot run here (for example, an unreadable file as root); empty when it can.
std::string skipReason(const BadInput& input);
