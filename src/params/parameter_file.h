// ParameterFile: a linking parameter file as a whole, as the dialog composes it.
//
// readParameterFile takes every key and every data-file entry in file order (the entry
// numbers are ignored); writeParameterFile writes the full layout that the readers expect,
// numbering the entries 1, 2, 3, ... The tolerance and step-length texts are kept as written.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "params/linking_settings.h"

struct DataFilePair {
  std::string from;
  std::string to;
  std::string empirical;  // empty on a grid
  bool operator==(const DataFilePair&) const = default;
};

// The values of the dialog's lists as their texts stand ("02", "3.70"). The lines of Model_Type,
// Parameterization, Theta_Dimension and Number_Of_Grid are written only when their text is not
// empty; the range lines always.
struct ListedValues {
  std::string model, parameterization, dimension, gridPoints, rangeBegin, rangeEnd;
};

struct ParameterFile {
  LinkingSettings settings;
  std::vector<DataFilePair> pairs;
  std::string toleranceText;   // written only when Search_Method is not 0 and non-empty
  std::string stepLengthText;  // likewise
  // Written in place of the numbers of settings when set (by the dialog).
  std::optional<ListedValues> listed;
};

struct ParameterFileReadResult {
  bool ok = true;
  std::string message;  // names file, line, key and value when !ok
};

// Reads a whole parameter file from a stream; name is used in messages only.
ParameterFileReadResult readParameterFile(std::istream& in, const std::string& name,
                                          ParameterFile& file);

// The lines that give a data file's format under prefix ("From", "To", "Emp"): row-skip list,
// column format, the file type when withType, and the separator and one-record keys when they
// are not the default, as the full layout writes them.
std::string formatDataFileKeys(const std::string& prefix, const DataFileSpec& spec, bool withType);

// The full text layout, LF line ends.
std::string formatParameterFile(const ParameterFile& file);

// Writes the layout to path through a temporary file renamed over the old one; on failure the
// old file is kept and the returned message says why (empty on success).
std::string writeParameterFile(const std::string& path, const ParameterFile& file);
