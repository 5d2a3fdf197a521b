// Feeds arbitrary bytes as a linking parameter file to the run loader, as an engine does:
// reading, correcting and checking the settings, resolving names and counting the data lines
// of the first pair. It must end with one of its result codes, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_scratch.h"
#include "linking/run_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!fuzz::namesOnlyScratchFiles(text)) return 0;
  static const bool seeded = [] {
    fuzz::writeScratch("from.txt", "1.0 0.5 0.1\n0.8 -0.2 0.2\n");
    fuzz::writeScratch("to.txt", "1.1 0.4 0.1\n0.9 -0.1 0.2\n");
    fuzz::writeScratch("theta.txt", "0.5 -0.5\n1 0\n");
    return true;
  }();
  (void)seeded;
  const std::string path = fuzz::writeScratch("run.ini", text);
  RunSettings settings;
  settings.reset();
  const int result = loadRunSettings(settings, path);
  switch (result) {
    case kLoadOk:
    case kLoadFailed:
    case kLoadGridAndEmpirical:
    case kLoadNoFromFile:
    case kLoadNoToFile:
    case kLoadNoEmpiricalFile:
    case kLoadNothingCounted:
      break;
    default:
      __builtin_trap();
  }
  if (result == kLoadOk && (settings.itemCount <= 0 || settings.pointCount <= 0)) __builtin_trap();
  return 0;
}
