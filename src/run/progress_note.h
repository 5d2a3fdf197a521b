// ProgressNote: what one progress post of a run carries, as a value.
//
// The worker builds a note for each pair it starts and, during a search, for each step; the
// host receives it by value (copies of the names), so nothing of the run is shared with the
// thread that shows it.
#pragma once

#include <limits>
#include <string>

struct ProgressNote {
  std::string fromFileName;
  std::string toFileName;
  std::string empiricalFileName;
  long searchStep = 0;  // 0 when a pair starts; then the number of steps taken in its search
  double criterion = std::numeric_limits<double>::quiet_NaN();  // during a search only
};
