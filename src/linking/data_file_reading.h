// Reading a data file for an engine: the reader's failure is shown to the user.
//
// A file that cannot be opened shows its name under the caption "No such file"; a faulty
// file shows the reader's message (file, line, word or counts) under "Faulty data file".
#pragma once

#include "data/item_file.h"
#include "run/run_host.h"

// true when the file was read completely.
bool readDataFileShown(RunHost& host, const DataFileSpec& spec, int scaleFlag,
                       const ItemFileOutputs& out);

// The run's answer to an allocation that failed: a beep and "Not Enough Memory".
void showNotEnoughMemory(RunHost& host);
