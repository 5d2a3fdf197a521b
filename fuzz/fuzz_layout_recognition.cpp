// Feeds arbitrary text to the layout recogniser. It must end; and what it recognises must be
// what it says: the format it proposes reads the text to exactly the count it reports.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "data/item_file.h"
#include "data/layout_recognition.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream in(text);
  const RecognizedLayout found = recognizeLayout(in, "fuzz.txt");
  if (!found.recognised) return 0;
  const auto records = static_cast<std::size_t>(found.count);
  const auto d = static_cast<std::size_t>(found.dimension);
  if (records == 0 || d == 0 || records * d > 1000000) __builtin_trap();
  std::vector<double> slopes(records * d), intercepts(found.thetaFile ? 0 : records),
      guessing(found.thetaFile ? 0 : records);
  std::istringstream again(text);
  const ItemFileResult read = readItemStream(
      again, found.spec, 0, {slopes, intercepts, guessing, found.thetaFile ? 0 : found.dimension});
  if (read.code != 0 || read.records != found.count) __builtin_trap();
  return 0;
}
