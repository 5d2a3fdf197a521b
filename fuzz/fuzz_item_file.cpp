// Feeds arbitrary bytes to the item and theta file reader under several formats and skip
// lists; the reader must end, never write past its outputs, and report every refusal.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "data/item_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  static const char* const kFormats[] = {"XAD", "AB", "AABB", "ADC", "TT", "XAAD", "aAbBc", "T"};
  static const char* const kSkips[] = {"", "{1-2}", "{1}", "{3S2R1}", "{1S0R0}", "{2,4-5}"};
  const std::string format = kFormats[data[0] % 8];
  const std::string skip = kSkips[(data[0] >> 3) % 6];
  const std::size_t records = data[1] % 16;
  const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);

  int slopesPerRecord = 0;
  for (char c : format) slopesPerRecord += (c == 'A' || c == 'a' || c == 'T') ? 1 : 0;
  std::vector<double> slopes(records * slopesPerRecord);
  std::vector<double> intercepts(records);
  std::vector<double> guessing(records);
  ItemFileOutputs out{slopes, intercepts, guessing, 0};
  if (format == "TT" || format == "T") out = {slopes, {}, {}, 0};

  std::istringstream in(text);
  ItemFileResult result = readItemStream(in, {"fuzz.txt", format, skip, data[1] & 0x80}, 1, out);
  if (result.code != 0 && result.message.empty()) __builtin_trap();
  return 0;
}
