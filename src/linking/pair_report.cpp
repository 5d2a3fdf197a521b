#include "linking/pair_report.h"

#include "report/report_writer.h"

PairOutcome describePair(const RunSettings& s) {
  PairOutcome p;
  p.fromFile = s.fromFile.name;
  p.toFile = s.toFile.name;
  p.empiricalFile = s.Number_Of_Grid == 0 ? s.empiricalFile.name : std::string();
  p.model = s.Model_Type;
  p.parameterization = s.Parameterization;
  p.dimension = s.Theta_Dimension;
  p.items = s.itemCount;
  p.points = s.pointCount;
  p.fromFileType = s.fromFile.fileType;
  p.toFileType = s.toFile.fileType;
  p.weighing = s.Weighing_Method;
  p.gridPoints = s.Number_Of_Grid;
  p.rangeBegin = s.Range_Begin;
  p.rangeEnd = s.Range_End;
  return p;
}

PairOutcome reportedPair(const RunSettings& s, double criterion, const double* block) {
  PairOutcome p = describePair(s);
  const int d = s.Theta_Dimension;
  p.criterion = criterion;
  p.reported.assign(block, block + static_cast<std::ptrdiff_t>(d) * (d + 1));
  p.conversionProblems = s.conversionProblems;
  return p;
}

void reportPair(RunSettings& s, double criterion, const double* block) {
  // The empirical file's type slot remembers whether this run has written a block: the first
  // block follows Output_File_Type (absent counts as replace), every later one appends.
  const bool firstBlock = s.empiricalFile.fileType == -1;
  ReportTarget target;
  target.path = s.outputFile.name;
  target.replace = firstBlock && s.outputFile.fileType != 0;
  target.host = &s.host();
  if (s.job != nullptr) target.failures = &s.job->reportWriteFailures;
  s.empiricalFile.fileType = 0;
  writeReportBlock(reportedPair(s, criterion, block), target);
}
