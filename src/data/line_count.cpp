#include "data/line_count.h"

#include <filesystem>
#include <fstream>

#include "data/row_skip.h"
#include "params/text_file.h"

namespace {

bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::int64_t countDataLinesIn(std::istream& in, std::string_view rowSkip) {
  std::streambuf* buf = in.rdbuf();
  if (buf == nullptr) return 0;
  using Traits = std::streambuf::traits_type;
  std::int64_t lineNumber = 0;
  std::int64_t dataLines = 0;
  bool lineHasText = false;
  auto endLine = [&] {
    if (!lineHasText) return;
    ++lineNumber;
    if (!rowIsSkipped(rowSkip, lineNumber)) ++dataLines;
    lineHasText = false;
  };
  for (int c = buf->sbumpc(); c != Traits::eof(); c = buf->sbumpc()) {
    if (c == '\n') {
      endLine();
    } else if (!isBlank(c)) {
      lineHasText = true;
    }
  }
  endLine();  // a last line without a line end
  return dataLines;
}

std::optional<std::int64_t> countDataLinesOfFile(const std::string& path,
                                                 std::string_view rowSkip) {
  std::ifstream in;
  if (!openTextFile(path, in)) return std::nullopt;
  try {
    return countDataLinesIn(in, rowSkip);
  } catch (const std::ios_base::failure&) {
    return std::nullopt;  // a read error: as a file that cannot be opened
  }
}
