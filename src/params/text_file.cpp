#include "params/text_file.h"

#include <filesystem>
#include <system_error>

bool openTextFile(const std::string& path, std::ifstream& in) {
  std::error_code error;
  if (path.empty() || std::filesystem::is_directory(path, error)) return false;
  in.open(path, std::ios::binary);
  return in.is_open();
}
