// runTorvakLink: torvak-link as a user runs it, a separate process with its streams and status.
#pragma once

#include <string>

#include "support/temp_dir.h"

struct LinkProcess {
  int exitCode;  // -1 when the process did not exit normally (a signal)
  std::string out;
  std::string err;
};

// Runs "torvak-link arguments" with stdin from /dev/null, its output kept in dir. shellPrefix
// goes before it in the same shell (for example "ulimit -v 100000;").
LinkProcess runTorvakLink(const TempDir& dir, const std::string& arguments,
                          const std::string& shellPrefix = "");
