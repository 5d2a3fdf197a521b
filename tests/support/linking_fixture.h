// LinkingFixture: a temp folder with a parameter file and data files, a scripted host and a
// job, for engine and worker tests.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "run/linking_job.h"
#include "support/scripted_run_host.h"
#include "support/temp_dir.h"

struct LinkingFixture {
  TempDir dir;
  std::shared_ptr<ScriptedRunHost> sharedHost = std::make_shared<ScriptedRunHost>();
  ScriptedRunHost& host = *sharedHost;
  LinkingJob job;

  LinkingFixture() { job.host = sharedHost; }

  // Writes the parameter file run.ini from key lines and data-file entries and points the job
  // at it. Each entry is "<number>= from to [empirical]".
  std::string writeParameters(const std::vector<std::string>& keyLines,
                              const std::vector<std::string>& entries);
  // from.txt and to.txt of the two-item example whose To scale is 0.5 theta - 0.5 (format AD).
  void writeWorkedExample();
  // Writes an item file of one item per line from rows of numbers.
  std::string writeItems(const std::string& name, const std::vector<std::vector<double>>& rows);
};

// "Key= value" lines for a typical run of the given model and dimension on a grid.
std::vector<std::string> gridKeys(int model, int dimension, int gridPoints,
                                  const std::string& columnFormat);
