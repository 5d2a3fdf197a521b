// The values of the diagnostics options of torvak-link: --exclude, --se, --seed and
// --drift-cutoff. Each returns an empty string when the text is valid, else why it is not.
#pragma once

#include <string>
#include <vector>

#include "run/diagnostics_options.h"

// "3,17,20-22": item numbers from 1 and ranges, sorted and without repeats into items.
std::string parseItemList(const std::string& text, std::vector<long long>& items);
// "jackknife", "bootstrap" or "bootstrap:B" (B from 2 to 1000000).
std::string parseErrorsMethod(const std::string& text, DiagnosticsOptions& options);
std::string parseSeed(const std::string& text, unsigned long long& seed);
// A finite number from 0 to 1.
std::string parseDriftCutoff(const std::string& text, double& cutoff);
