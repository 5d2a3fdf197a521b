// Feeds arbitrary bytes as a parameter file to what the worker and the runner read before a
// run: the pre-scan, the plan of the entries it will link and the scan for unread keys.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_scratch.h"
#include "jobs/linking_worker.h"
#include "linking/entry_plan.h"
#include "params/unread_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::writeScratch("scan.ini", text);
  const PreScan scan = preScanParameterFile(path);
  if (!scan.opened) __builtin_trap();
  if (static_cast<std::size_t>(scan.pairCount) != scan.entries.size()) __builtin_trap();
  const EntryPlan plan = planEntries(scan.entries);
  if (plan.linked.size() > scan.entries.size()) __builtin_trap();
  if (plan.linked.size() + plan.passedOver.size() < scan.entries.size()) __builtin_trap();
  if (!plan.inOrder && entryPlanMessage(path, scan.entries, plan).empty()) __builtin_trap();
  std::istringstream in(text);
  for (const UnreadKey& unread : findUnreadKeys(in)) {
    if (describeUnreadKey(unread).empty()) __builtin_trap();
  }
  return 0;
}
