// ParameterFile: a linking parameter file as a whole, as the dialog composes it.
//
// readParameterFile takes every key and every data-file entry in file order (the entry
// numbers are ignored); writeParameterFile writes the full layout that the readers expect,
// numbering the entries 1, 2, 3, ... The tolerance and step-length texts are kept as written.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "params/linking_settings.h"

struct DataFilePair {
  std::string from;
  std::string to;
  std::string empirical;  // empty on a grid
  bool operator==(const DataFilePair&) const = default;
};

struct ParameterFile {
  LinkingSettings settings;
  std::vector<DataFilePair> pairs;
  std::string toleranceText;   // written only when Search_Method is not 0 and non-empty
  std::string stepLengthText;  // likewise
};

struct ParameterFileReadResult {
  bool ok = true;
  std::string message;  // names file, line, key and value when !ok
};

// Reads a whole parameter file from a stream; name is used in messages only.
ParameterFileReadResult readParameterFile(std::istream& in, const std::string& name,
                                          ParameterFile& file);

// The full text layout, LF line ends.
std::string formatParameterFile(const ParameterFile& file);

// Writes the layout to path through a temporary file renamed over the old one; on failure the
// old file is kept and the returned message says why (empty on success).
std::string writeParameterFile(const std::string& path, const ParameterFile& file);
