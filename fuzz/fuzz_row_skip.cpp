// Feeds arbitrary bytes as a row-skip list to the matcher, over small and huge line numbers.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/row_skip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view list(reinterpret_cast<const char*>(data), size);
  for (long long line = 1; line <= 64; ++line) {
    const int skipped = rowIsSkipped(list, line);
    if (skipped != 0 && skipped != 1) __builtin_trap();
  }
  for (long long line : {2147483647LL, 2147483648LL, 9223372036854775807LL}) {
    const int skipped = rowIsSkipped(list, line);
    if (skipped != 0 && skipped != 1) __builtin_trap();
  }
  return 0;
}
