#include "support/report_blocks.h"

namespace {

const std::string kRule = "**********************************************";

}  // namespace

int countReportBlocks(const std::string& text) {
  int count = 0;
  for (std::size_t at = text.find(kRule); at != std::string::npos;
       at = text.find(kRule, at + kRule.size())) {
    ++count;
  }
  return count;
}

bool onlyWholeBlocks(const std::string& text) {
  return text.empty() || text.ends_with(kRule + "\n") || text.ends_with(kRule + "\r\n");
}
