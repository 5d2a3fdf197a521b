// A scratch folder per fuzzing process, for targets whose readers take file paths.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz {

inline const std::filesystem::path& scratchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "torvak-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return std::filesystem::path(pattern);
  }();
  return folder;
}

// Writes text to name in the scratch folder and returns its path.
inline std::string writeScratch(const std::string& name, std::string_view text) {
  const std::string path = (scratchFolder() / name).string();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return path;
}

// Inputs that could name other files (devices that never end, for one) are not for these
// targets: every name must stay inside the scratch folder.
inline bool namesOnlyScratchFiles(std::string_view text) {
  return text.find('/') == std::string_view::npos && text.find('\\') == std::string_view::npos;
}

}  // namespace fuzz
