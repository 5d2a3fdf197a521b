// Finding data-file entry k of a linking parameter file.
//
// Entries are "$Data_Files", a number token such as "2=", the From name, the To name and, on
// an empirical run, the empirical theta file name. Each lookup scans the file from its start,
// so entries may stand in any order; the first entry whose number is k wins.
#pragma once

#include <string>

#include "params/parameter_file.h"

struct RunSettings;

enum class PairLookup { Found, NotFound, CannotOpen };

// Names are returned as written (not resolved).
PairLookup findDataFileEntry(const std::string& parameterFile, long long index, bool withEmpirical,
                             DataFilePair& pair);

// Finds entry index and stores its names, resolved against the parameter file's folder, in the
// settings. Shows "Can't open initial file" when the file cannot be reopened.
PairLookup loadDataFileEntry(RunSettings& s, long long index);

// Number of the entry a run links first: the first entry's number in file order (0 when it
// has none or the file cannot be read).
long long firstEntryNumber(const std::string& parameterFile);
