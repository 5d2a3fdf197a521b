// RunEnding: how one linking run ended, as values, and the status texts that say so.
//
// The worker fills it after the engine returns. The documented status text knows only the
// run's status ("Linking Done: " or "Error: (<status>) in Linking: " and the path); a run
// with status 0 may still have linked nothing, skipped pairs or lost report blocks, and
// runEndingText says so in the terms of torvak-link's exit status (72, 73, 74).
#pragma once

#include <string>
#include <vector>

struct RunEnding {
  std::string parameterFile;
  int status = 0;               // the run's status; 0 when no error ended it
  bool pairsCounted = false;    // linked and skippedEntries are known (the job collected them)
  long long pairCount = 0;      // "$Data_Files" entries of the file
  long long linked = 0;         // pairs whose block was reported
  std::vector<long long> skippedEntries;  // entry numbers of pairs that failed and were passed
  int reportBlocksNotWritten = 0;
  bool stopRequested = false;       // the user asked the run to stop
  std::string nothingLinkedReason;  // why, when status is 0 and nothing was linked
};

// "Linking Done: PATH" or "Error: (STATUS) in Linking: PATH".
std::string documentedStatusText(const RunEnding& ending);

// The documented text for an error or a run whose pairs were not counted; otherwise what the
// run achieved: "Linking Done: PATH" only when every pair was linked and reported.
std::string runEndingText(const RunEnding& ending);

// "2, 4, 7": entry numbers joined for a message.
std::string entryNumberList(const std::vector<long long>& entries);
