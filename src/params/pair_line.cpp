#include "params/pair_line.h"

#include <sstream>

DataFilePair pairOfLine(const std::string& line) {
  std::istringstream in(line);
  DataFilePair pair;
  in >> pair.from >> pair.to >> pair.empirical;
  return pair;
}
