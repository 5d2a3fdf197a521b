// Feeds arbitrary bytes to the linking parameter file reader. Whatever it accepts, the writer
// must turn into a text that reads back without complaint and writes out unchanged.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "params/parameter_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  ParameterFile file;
  ParameterFileReadResult result = readParameterFile(in, "fuzz.ini", file);
  if (!result.ok) {
    if (result.message.empty()) __builtin_trap();
    return 0;
  }
  const std::string written = formatParameterFile(file);
  std::istringstream again(written);
  ParameterFile reread;
  if (!readParameterFile(again, "fuzz.ini", reread).ok) __builtin_trap();
  if (formatParameterFile(reread) != written) __builtin_trap();
  return 0;
}
