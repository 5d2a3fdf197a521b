// Finding and reading the choice-list file "dlginip.tvk".
//
// The file is looked for in each folder given, in order (the executable's folder, the
// install data folder, the build tree); the first that opens is read. When none does, the
// message names every path tried.
#pragma once

#include <string>
#include <vector>

#include "params/choice_list.h"

inline constexpr const char* kChoiceListName = "dlginip.tvk";

struct ChoiceListSearch {
  bool found = false;
  std::string path;                // the file read
  std::vector<std::string> tried;  // every path tried, in order
  ChoiceList list;
};

ChoiceListSearch findChoiceList(const std::vector<std::string>& folders);

// "File dlginip.tvk missing" and the paths tried, one a line.
std::string missingChoiceListText(const ChoiceListSearch& search);
