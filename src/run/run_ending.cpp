#include "run/run_ending.h"

namespace {

std::string counted(long long count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string documentedStatusText(const RunEnding& ending) {
  const std::string head = ending.status != 0
                               ? "Error: (" + std::to_string(ending.status) + ") in Linking: "
                               : std::string("Linking Done: ");
  return head + ending.parameterFile;
}

std::string entryNumberList(const std::vector<long long>& entries) {
  std::string list;
  for (long long entry : entries) list += (list.empty() ? "" : ", ") + std::to_string(entry);
  return list;
}

std::string runEndingText(const RunEnding& ending) {
  if (ending.status != 0 || !ending.pairsCounted) return documentedStatusText(ending);
  const std::string path = ": " + ending.parameterFile;
  if (ending.linked == 0) {
    const std::string why = ending.stopRequested ? std::string("stopped by the user")
                                                 : ending.nothingLinkedReason;
    return "Nothing linked" + (why.empty() ? "" : ", " + why) + path;
  }
  std::string text = ending.stopRequested ? "Linking stopped by the user, " +
                                                counted(ending.linked, "pair", "pairs") +
                                                " linked"
                                          : std::string("Linking Done");
  const long long skipped = static_cast<long long>(ending.skippedEntries.size());
  if (skipped > 0) {
    text += ", " + std::to_string(skipped) + " of " +
            std::to_string(ending.linked + skipped) + " pairs skipped (" +
            (skipped == 1 ? "entry " : "entries ") + entryNumberList(ending.skippedEntries) + ")";
  }
  if (ending.reportBlocksNotWritten > 0) {
    text += ", " + counted(ending.reportBlocksNotWritten, "report block", "report blocks") +
            " not written to the report file";
  }
  return text + path;
}
