// Feeds arbitrary bytes as a parameter file to the lookup of data-file entries by number.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_scratch.h"
#include "linking/pair_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::writeScratch("lookup.ini", text);
  for (long long index : {1LL, 2LL, 3LL, 2147483648LL, -1LL}) {
    for (bool withEmpirical : {false, true}) {
      DataFilePair pair;
      const PairLookup found = findDataFileEntry(path, index, withEmpirical, pair);
      if (found == PairLookup::CannotOpen) __builtin_trap();
      if (found == PairLookup::NotFound && !pair.from.empty()) __builtin_trap();
    }
  }
  firstEntryNumber(path);
  return 0;
}
