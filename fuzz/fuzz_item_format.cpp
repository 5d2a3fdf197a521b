// The item and theta file reader with its column format, row-skip list, file type and output
// sizes all taken from the input: line 1 is the format, line 2 the row-skip list, then one
// byte of sizes and flags, then the file's text.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "data/item_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t firstEnd = input.find('\n');
  if (firstEnd == std::string::npos) return 0;
  const std::size_t secondEnd = input.find('\n', firstEnd + 1);
  if (secondEnd == std::string::npos || secondEnd + 1 >= input.size()) return 0;
  const std::string format = input.substr(0, std::min<std::size_t>(firstEnd, 64));
  const std::string skip = input.substr(firstEnd + 1, secondEnd - firstEnd - 1);
  const auto flags = static_cast<unsigned char>(input[secondEnd + 1]);
  const std::string text = input.substr(secondEnd + 2);

  const std::size_t records = flags % 8;
  const int dimension = (flags >> 3) % 4;
  const bool wantIntercepts = (flags & 0x20) != 0;
  const bool wantGuessing = (flags & 0x40) != 0;
  std::vector<double> slopes(records * static_cast<std::size_t>(dimension > 0 ? dimension : 1));
  std::vector<double> intercepts(wantIntercepts ? records : 0);
  std::vector<double> guessing(wantGuessing ? records : 0);
  ItemFileOutputs out{slopes, intercepts, guessing, wantIntercepts ? dimension : 0};
  std::istringstream in(text);
  const ItemFileResult result =
      readItemStream(in, {"fuzz.txt", format, skip, (flags & 0x80) ? -1 : 0}, 1, out);
  if (result.code != 0 && result.message.empty()) __builtin_trap();
  if (result.code == 0 && result.records < 0) __builtin_trap();
  return 0;
}
