#include "report/report_writer.h"

#include <string_view>

#include "params/number_text.h"
#include "params/replace_file.h"

namespace {

constexpr std::string_view kRule = "**********************************************";

std::string fileTag(const std::string& name, int fileType) {
  return reportBaseName(name) + "(" + std::to_string(fileType) + "),";
}

// "W(0),T#:25,TD#:2,I#:25,M:1,P:1" with or without the colons after TD# and I#.
std::string runCounts(const PairOutcome& p, const char* colon) {
  return "W(" + std::to_string(p.weighing) + "),T#:" + std::to_string(p.points) + ",TD#" +
         colon + std::to_string(p.dimension) + ",I#" + colon + std::to_string(p.items) +
         ",M:" + std::to_string(p.model) + ",P:" + std::to_string(p.parameterization);
}

// The criterion in %e and every value in %f, each followed by a blank.
std::string valuesLine(const PairOutcome& p) {
  std::string text = scientificText(p.criterion) + " ";
  for (double value : p.reported) text += fixedText(value) + " ";
  return text;
}

std::string filesTag(const PairOutcome& p) {
  return fileTag(p.fromFile, p.fromFileType) + fileTag(p.toFile, p.toFileType) + "Ing:";
}

}  // namespace

std::string reportBaseName(const std::string& path) {
  const auto separator = path.find_last_of("/\\");
  if (separator == std::string::npos || separator == 0) return path;
  return path.substr(separator + 1);
}

// Header ends with " \n"; the criterion in %e and every value in %f, each followed by a blank;
// the grid range in the shortest general format (-4.0 prints as -4).
std::string formatReportFileBlock(const PairOutcome& p) {
  std::string text = filesTag(p);
  if (p.gridPoints != 0) {
    text += "Grid[" + generalText(p.rangeBegin) + "," + generalText(p.rangeEnd) + "];";
  } else {
    text += reportBaseName(p.empiricalFile) + ";";
  }
  text += runCounts(p, ":") + " \n";
  text += valuesLine(p);
  if (p.conversionProblems != 0) {
    text += "\nConvert F Problems (only if nonzero): " + std::to_string(p.conversionProblems);
  }
  text += "\n";
  text += kRule;
  text += "\n";
  return text;
}

// No colons after "TD#" and "I#", no line end after the header, the range with two decimals,
// and CR LF line ends.
std::string formatReportWindowBlock(const PairOutcome& p) {
  std::string text = filesTag(p);
  if (p.gridPoints != 0) {
    text += "Grid[" + fixedText(p.rangeBegin, 2) + "," + fixedText(p.rangeEnd, 2) + "];";
  } else {
    text += reportBaseName(p.empiricalFile) + ";";
  }
  text += runCounts(p, "");
  text += "\r\n" + valuesLine(p);
  if (p.conversionProblems != 0) {
    text += "\r\nConvert F Problems (only if nonzero): " + std::to_string(p.conversionProblems);
  }
  text += "\r\n";
  text += kRule;
  text += "\r\n";
  return text;
}

void writeReportBlock(const PairOutcome& pair, const ReportTarget& target) {
  RunHost& host = *target.host;
  if (!target.path.empty()) {
    const std::string text = formatReportFileBlock(pair);
    const std::string error = target.replace ? replaceFileContents(target.path, text)
                                             : appendToFile(target.path, text);
    if (!error.empty()) {
      if (target.failures != nullptr) target.failures->fetch_add(1);
      host.beep();
      host.showMessage(target.path, "Can't open output file", MessageButtons::Ok);
    }
  }
  host.insertReportText(formatReportWindowBlock(pair));
}
