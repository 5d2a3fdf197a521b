#include "linking/entry_plan.h"

#include <unordered_map>

#include "params/token_reader.h"

namespace {

std::string describe(const DataFileEntry& entry) {
  return "line " + std::to_string(entry.line) + " (" + entry.number + ")";
}

std::string listed(const std::vector<DataFileEntry>& entries,
                   const std::vector<std::size_t>& indexes) {
  std::string text;
  for (std::size_t k = 0; k < indexes.size(); ++k) {
    text += (k == 0 ? "" : ", ") + describe(entries[indexes[k]]);
  }
  return text;
}

}  // namespace

EntryPlan planEntries(const std::vector<DataFileEntry>& entries) {
  EntryPlan plan;
  if (entries.empty()) return plan;
  std::vector<bool> used(entries.size(), false);
  plan.linked.push_back(0);
  used[0] = true;
  // The first entry of each number, found in one pass (a bank of entries is planned in time
  // in proportion to its size).
  std::unordered_map<long long, std::size_t> firstWith;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    long long number = 0;
    if (parseLeadingInt(entries[i].number, number)) firstWith.emplace(number, i);
  }
  for (long long wanted = 2; plan.linked.size() < entries.size(); ++wanted) {
    const auto found = firstWith.find(wanted);
    if (found == firstWith.end()) break;
    plan.linked.push_back(found->second);
    used[found->second] = true;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!used[i]) plan.passedOver.push_back(i);
  }
  plan.inOrder = plan.passedOver.empty();
  for (std::size_t k = 0; k < plan.linked.size() && plan.inOrder; ++k) {
    long long number = 0;
    plan.inOrder = plan.linked[k] == k && parseLeadingInt(entries[k].number, number) &&
                   number == static_cast<long long>(k + 1);
  }
  return plan;
}

std::string entryPlanMessage(const std::string& parameterFile,
                             const std::vector<DataFileEntry>& entries, const EntryPlan& plan) {
  std::string text = parameterFile + ": the $Data_Files entries are not numbered 1 to " +
                     std::to_string(entries.size()) +
                     " in file order. A run links the first entry, then entries 2, 3, ... by "
                     "number. It will link " +
                     listed(entries, plan.linked);
  if (!plan.passedOver.empty()) text += "; it will pass over " + listed(entries, plan.passedOver);
  return text + ".";
}
