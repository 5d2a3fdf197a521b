#include "report/report_writer.h"

#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "params/replace_file.h"

namespace {

constexpr std::string_view kRule = "**********************************************";

std::string format(const char* fmt, auto... args) {
  const int size = std::snprintf(nullptr, 0, fmt, args...);
  std::string text(static_cast<std::size_t>(size), '\0');
  std::snprintf(text.data(), text.size() + 1, fmt, args...);
  return text;
}

int valueCount(const RunSettings& s) { return s.Theta_Dimension * (s.Theta_Dimension + 1); }

}  // namespace

std::string reportBaseName(const std::string& path) {
  const auto separator = path.find_last_of("/\\");
  if (separator == std::string::npos || separator == 0) return path;
  return path.substr(separator + 1);
}

// Header ends with " \n"; the criterion in %e and every value in %f, each followed by a blank;
// the grid range in the shortest general format (-4.0 prints as -4).
std::string formatReportFileBlock(const RunSettings& s, double criterion, const double* block) {
  std::string text = reportBaseName(s.fromFile.name) + format("(%d),", s.fromFile.fileType) +
                     reportBaseName(s.toFile.name) + format("(%d),Ing:", s.toFile.fileType);
  if (s.Number_Of_Grid != 0) {
    text += format("Grid[%g,%g];", s.Range_Begin, s.Range_End);
  } else {
    text += reportBaseName(s.empiricalFile.name) + ";";
  }
  text += format("W(%d),T#:%" PRId64 ",TD#:%d,I#:%" PRId64 ",M:%d,P:%d \n", s.Weighing_Method,
                 s.pointCount, s.Theta_Dimension, s.itemCount, s.Model_Type, s.Parameterization);
  text += format("%e ", criterion);
  for (int k = 0; k < valueCount(s); ++k) text += format("%f ", block[k]);
  if (s.conversionProblems != 0) {
    text += format("\nConvert F Problems (only if nonzero): %d", s.conversionProblems);
  }
  text += "\n";
  text += kRule;
  text += "\n";
  return text;
}

// No colons after "TD#" and "I#", no line end after the header, the range with two decimals,
// and CR LF line ends.
std::string formatReportWindowBlock(const RunSettings& s, double criterion, const double* block) {
  std::string text =
      format("%s(%d),", reportBaseName(s.fromFile.name).c_str(), s.fromFile.fileType) +
      format("%s(%d),Ing:", reportBaseName(s.toFile.name).c_str(), s.toFile.fileType);
  if (s.Number_Of_Grid != 0) {
    text += format("Grid[%.2f,%.2f];", s.Range_Begin, s.Range_End);
  } else {
    text += format("%s;", reportBaseName(s.empiricalFile.name).c_str());
  }
  text += format("W(%d),T#:%" PRId64 ",TD#%d,I#%" PRId64 ",M:%d,P:%d", s.Weighing_Method,
                 s.pointCount, s.Theta_Dimension, s.itemCount, s.Model_Type, s.Parameterization);
  text += format("\r\n%e ", criterion);
  for (int k = 0; k < valueCount(s); ++k) text += format("%f ", block[k]);
  if (s.conversionProblems != 0) {
    text += format("\r\nConvert F Problems (only if nonzero): %i", s.conversionProblems);
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
      host.beep();
      host.showMessage(s.outputFile.name, "Can't open output file", MessageButtons::Ok);
    }
  }
  if (host.hasOutputView()) {
    host.insertReportText(formatReportWindowBlock(s, criterion, block));
  }
}
