// checkRun: what a run of a linking parameter file would do, found without linking.
//
// The settings are loaded and checked as the engine loads them (its messages go to the host),
// then every pair the engine would link is looked up as it looks them up, and each of its
// data files is read completely as the engine reads it (scaled by 1.702 for Models 3 and 4
// where the file type says so); the first record of each is kept to show. Nothing is
// searched and no report is written.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "jobs/linking_worker.h"
#include "linking/run_settings.h"

struct DataFileGlance {
  std::string name;            // as looked for
  bool read = false;           // read completely (the host was told why not)
  std::vector<double> slopes;  // first record: d slopes, or a theta point's d coordinates
  double intercept = 0.0;      // item files
  double guessing = 0.0;       // item files of Models 3 and 4
  ItemCategories categories;   // item files: every item's kind and categories
};

struct PairCheck {
  long long entry = 0;
  DataFileGlance from, to, empirical;  // empirical.name empty on a grid
  bool itemsMatch = true;  // From and To items agree in kind and category count
  bool passes() const {
    return from.read && to.read && itemsMatch && (empirical.name.empty() || empirical.read);
  }
};

struct RunCheck {
  bool opened = false;  // the parameter file could be read
  int modelType = 0;    // as the worker picks the engine
  int entryCount = 0;   // "$Data_Files" words
  int loadResult = -1;  // loadRunSettings' result; -1 when not loaded (no engine)
  RunSettings settings;
  std::vector<PairCheck> pairs;

  bool hasEngine() const { return modelLinksPairs(modelType); }
  bool passes() const;
};

RunCheck checkRun(const std::string& parameterFile, std::shared_ptr<RunHost> host);
