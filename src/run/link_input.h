// LinkInput: a run's settings and data given in memory instead of in files.
//
// A launcher that holds the item parameters already (the R and Python bindings) puts them
// here; the run then reads neither a parameter file nor a data file and links one pair, with
// the same engines, checks and messages as a run of files. Values are taken as they stand:
// the 1.702 scaling of a non-zero file type applies as it does to a file's values.
#pragma once

#include <vector>

#include "data/item_categories.h"
#include "params/linking_settings.h"

struct ItemArrays {
  std::vector<double> slopes;      // items x dimension, row by row
  std::vector<double> intercepts;  // one per item
  std::vector<double> guessing;    // one per item; empty: every item has 0
  // Polytomous items: kind, category count and intercepts d_2 .. of each item (d_1 is its
  // intercept above); empty: every item is dichotomous.
  ItemCategories categories;
};

struct LinkInput {
  // The run's settings; the data files' names label the arrays in messages, their file
  // types give the metric, and their other fields are not used.
  LinkingSettings settings;
  ItemArrays from, to;
  std::vector<double> theta;  // points x dimension, row by row; empty on a grid
};
