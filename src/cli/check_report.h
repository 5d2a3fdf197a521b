// What torvak-link --check prints for one parameter file, on standard output.
#pragma once

#include <string>

#include "jobs/run_check.h"

std::string formatRunCheck(const std::string& parameterFile, const RunCheck& check);
