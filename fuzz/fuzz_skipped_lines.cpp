// Feeds arbitrary bytes to the check of the lines a row-skip list passes over (header names,
// skipped lines that read as records); it must end and say nothing it cannot name.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "data/skipped_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const kFormats[] = {"XADCX", "XBA", "AAD", "XTT", "XXDXAXXXXXCXXXX",
                                         "GNA", "T", "xaBc"};
  static const char* const kSkips[] = {"{1}", "{1-2}", "{1-4}", "{3S2R1}", "{1S0R0}", "{2,4-5}"};
  const std::string format = kFormats[data[0] % 8];
  const std::string skip = kSkips[(data[0] >> 3) % 6];
  std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  const SkippedLinesCheck check = checkSkippedLines(in, {"fuzz.txt", format, skip, 0});
  if (!check.refusal.empty() && check.refusal.find("fuzz.txt: line ") != 0) __builtin_trap();
  return 0;
}
