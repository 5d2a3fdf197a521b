#include "params/text_file.h"

#include <filesystem>
#include <system_error>

bool openTextFile(const std::string& path, std::ifstream& in) {
  std::error_code error;
  if (path.empty() || std::filesystem::is_directory(path, error)) return false;
  in.open(path, std::ios::binary);
  if (!in.is_open()) return false;
  if (in.peek() == 0xEF) {
    char mark[3] = {};
    in.read(mark, 3);
    if (!in || mark[1] != '\xBB' || mark[2] != '\xBF') {
      in.clear();
      in.seekg(0);
    }
  }
  return true;
}
