// EntryPlan: which "$Data_Files" entries a run will link, and in what order.
//
// A run links the first entry of the file whatever its number, then looks up entries 2, 3,
// ... by number (the first entry with that number wins) until one is missing or as many pairs
// as there are entries have been linked. Entries numbered 1 to n in file order are linked
// each once; any other numbering links some twice and others never. The plan lets the run say
// so before it starts.
#pragma once

#include <string>
#include <vector>

struct DataFileEntry {
  std::string number;  // the word after "$Data_Files", such as "2="
  int line = 0;
};

struct EntryPlan {
  std::vector<std::size_t> linked;      // indexes into the entries, in the order linked
  std::vector<std::size_t> passedOver;  // entries never linked, in file order
  bool inOrder = true;                  // every entry linked once, in file order
};

EntryPlan planEntries(const std::vector<DataFileEntry>& entries);

// One message naming the entries (by line and number) that will be linked and passed over.
std::string entryPlanMessage(const std::string& parameterFile,
                             const std::vector<DataFileEntry>& entries, const EntryPlan& plan);
