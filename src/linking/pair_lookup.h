// Finding data-file entry k of a linking parameter file.
//
// Entries are "$Data_Files", a number token such as "2=", the From name, the To name and, on
// an empirical run, the empirical theta file name. Each lookup scans the file from its start,
// so entries may stand in any order; the first entry whose number is k wins.
#pragma once

#include <string>
#include <unordered_map>

#include "params/parameter_file.h"

struct RunSettings;

enum class PairLookup { Found, NotFound, CannotOpen };

// Names are returned as written (not resolved).
PairLookup findDataFileEntry(const std::string& parameterFile, long long index, bool withEmpirical,
                             DataFilePair& pair);

// Every entry of a parameter file, read in one pass: entry k is the one findDataFileEntry finds
// for k (the first entry with number k, its names taken from the words after the number, and
// the same words looked at for the next "$Data_Files" as its scan looks at them).
struct DataFileEntries {
  bool readError = false;  // the file could not be read to its end (or at all)
  std::unordered_map<long long, DataFilePair> byNumber;
};
DataFileEntries readDataFileEntries(const std::string& parameterFile, bool withEmpirical);

// Finds entry index and stores its names, resolved against the parameter file's folder, in the
// settings. The file's entries are read once per run, at the first call: a run's cost grows
// with its entries, not their square, and a file changed during the run does not change which
// pairs it links. Shows "Can't open initial file" when the file cannot be read.
PairLookup loadDataFileEntry(RunSettings& s, long long index);

// Number of the entry a run links first: the first entry's number in file order (0 when it
// has none or the file cannot be read).
long long firstEntryNumber(const std::string& parameterFile);
