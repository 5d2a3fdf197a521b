#include "cli/run_warnings.h"

#include <fstream>

#include "jobs/linking_worker.h"
#include "params/text_file.h"
#include "params/unread_keys.h"
#include "run/run_ending.h"

namespace {

std::string nothingLinkedReason(const RunResults& run) {
  return nothingLinkedReason(preScanParameterFile(run.parameterFile), !run.pairs.empty());
}

std::string entryList(const RunResults& run, PairOutcome::Result result) {
  std::vector<long long> entries;
  for (const PairOutcome& pair : run.pairs) {
    if (pair.result == result) entries.push_back(pair.entry);
  }
  return entryNumberList(entries);
}

}  // namespace

int printUnreadKeys(const std::string& parameterFile, std::FILE* err) {
  std::ifstream in;
  if (!openTextFile(parameterFile, in)) return 0;  // the run says so
  const std::vector<UnreadKey> unread = findUnreadKeys(in);
  for (const UnreadKey& word : unread) {
    std::fputs(("Warning: " + parameterFile + ": " + describeUnreadKey(word) + "\n").c_str(), err);
  }
  return static_cast<int>(unread.size());
}

void printRunSummary(const std::vector<RunResults>& runs, std::FILE* err) {
  for (const RunResults& run : runs) {
    if (run.status != 0) continue;  // its error has been shown
    const std::string warning = "Warning: " + run.parameterFile + ": ";
    const long long linked = run.pairsWith(PairOutcome::Result::Linked);
    const long long skipped = run.pairsWith(PairOutcome::Result::Skipped);
    if (linked == 0) {
      std::fputs((warning + "nothing was linked: " + nothingLinkedReason(run) + "\n").c_str(), err);
    } else if (skipped > 0) {
      std::fputs((warning + std::to_string(skipped) + " of " + std::to_string(run.pairs.size()) +
                  " pairs failed and were skipped (entries " +
                  entryList(run, PairOutcome::Result::Skipped) + ")\n")
                     .c_str(),
                 err);
    }
    if (run.reportBlocksNotWritten > 0) {
      std::fputs((warning + std::to_string(run.reportBlocksNotWritten) +
                  " report block(s) could not be written to the report file\n")
                     .c_str(),
                 err);
    }
  }
}
