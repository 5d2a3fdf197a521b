#include "report/report_writer.h"

#include <string_view>

#include "params/number_text.h"
#include "params/replace_file.h"

namespace {

constexpr std::string_view kRule = "**********************************************";

int valueCount(const RunSettings& s) { return s.Theta_Dimension * (s.Theta_Dimension + 1); }

std::string fileTag(const DataFileSpec& spec) {
  return reportBaseName(spec.name) + "(" + std::to_string(spec.fileType) + "),";
}

// "W(0),T#:25,TD#:2,I#:25,M:1,P:1" with or without the colons after TD# and I#.
std::string runCounts(const RunSettings& s, const char* colon) {
  return "W(" + std::to_string(s.Weighing_Method) + "),T#:" + std::to_string(s.pointCount) +
         ",TD#" + colon + std::to_string(s.Theta_Dimension) + ",I#" + colon +
         std::to_string(s.itemCount) + ",M:" + std::to_string(s.Model_Type) +
         ",P:" + std::to_string(s.Parameterization);
}

// The criterion in %e and every value in %f, each followed by a blank.
std::string valuesLine(const RunSettings& s, double criterion, const double* block) {
  std::string text = scientificText(criterion) + " ";
  for (int k = 0; k < valueCount(s); ++k) text += fixedText(block[k]) + " ";
  return text;
}

}  // namespace

std::string reportBaseName(const std::string& path) {
  const auto separator = path.find_last_of("/\\");
  if (separator == std::string::npos || separator == 0) return path;
  return path.substr(separator + 1);
}

// Header ends with " \n"; the criterion in %e and every value in %f, each followed by a blank;
// the grid range in the shortest general format (-4.0 prints as -4).
std::string formatReportFileBlock(const RunSettings& s, double criterion, const double* block) {
  std::string text = fileTag(s.fromFile) + fileTag(s.toFile) + "Ing:";
  if (s.Number_Of_Grid != 0) {
    text += "Grid[" + generalText(s.Range_Begin) + "," + generalText(s.Range_End) + "];";
  } else {
    text += reportBaseName(s.empiricalFile.name) + ";";
  }
  text += runCounts(s, ":") + " \n";
  text += valuesLine(s, criterion, block);
  if (s.conversionProblems != 0) {
    text += "\nConvert F Problems (only if nonzero): " + std::to_string(s.conversionProblems);
  }
  text += "\n";
  text += kRule;
  text += "\n";
  return text;
}

// No colons after "TD#" and "I#", no line end after the header, the range with two decimals,
// and CR LF line ends.
std::string formatReportWindowBlock(const RunSettings& s, double criterion, const double* block) {
  std::string text = fileTag(s.fromFile) + fileTag(s.toFile) + "Ing:";
  if (s.Number_Of_Grid != 0) {
    text += "Grid[" + fixedText(s.Range_Begin, 2) + "," + fixedText(s.Range_End, 2) + "];";
  } else {
    text += reportBaseName(s.empiricalFile.name) + ";";
  }
  text += runCounts(s, "");
  text += "\r\n" + valuesLine(s, criterion, block);
  if (s.conversionProblems != 0) {
    text += "\r\nConvert F Problems (only if nonzero): " + std::to_string(s.conversionProblems);
  }
  text += "\r\n";
  text += kRule;
  text += "\r\n";
  return text;
}

void writeReportBlock(RunSettings& s, double criterion, const double* block) {
  // The empirical file's type slot remembers whether this run has written a block: the first
  // block follows Output_File_Type (absent counts as replace), every later one appends.
  const bool firstBlock = s.empiricalFile.fileType == -1;
  const bool replace = firstBlock && s.outputFile.fileType != 0;
  s.empiricalFile.fileType = 0;

  RunHost& host = s.host();
  if (!s.outputFile.name.empty()) {
    const std::string text = formatReportFileBlock(s, criterion, block);
    const std::string error = replace ? replaceFileContents(s.outputFile.name, text)
                                      : appendToFile(s.outputFile.name, text);
    if (!error.empty()) {
      if (s.job != nullptr) s.job->reportWriteFailures.fetch_add(1);
      host.beep();
      host.showMessage(s.outputFile.name, "Can't open output file", MessageButtons::Ok);
    }
  }
  host.insertReportText(formatReportWindowBlock(s, criterion, block));
}
