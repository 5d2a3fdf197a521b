// The parameter file the Linking Parameters form writes.
#include "params/linking_parameters_form.h"
#include "params/pair_line.h"
#include "params/token_reader.h"

ParameterFile LinkingParametersForm::parameterFile() const {
  ParameterFile file;
  LinkingSettings& s = file.settings;
  // The lists' values are written as their texts stand; the numbers are kept beside them.
  file.listed = ListedValues{model.value(),     parameterization.value(), dimension.value(),
                             gridPoint.value(), rangeBegin.value(),       rangeEnd.value()};
  parseIntToken(file.listed->model, s.Model_Type);
  parseIntToken(file.listed->parameterization, s.Parameterization);
  parseIntToken(file.listed->dimension, s.Theta_Dimension);
  parseIntToken(file.listed->gridPoints, s.Number_Of_Grid);
  parseDoubleToken(file.listed->rangeBegin, s.Range_Begin);
  parseDoubleToken(file.listed->rangeEnd, s.Range_End);
  s.Weighing_Method = weighedSum ? 1 : 0;
  s.outputFile = outputFile;
  s.outputFile.name = reportName;
  s.outputFile.fileType = overwrite ? 1 : 0;
  s.fromFile = fromFile;
  s.toFile = toFile;
  s.empiricalFile.columnFormat = empiricalFile.columnFormat;
  s.empiricalFile.rowSkip = empiricalFile.rowSkip;
  s.empiricalFile.separator = empiricalFile.separator;
  s.empiricalFile.oneRecordPerLine = empiricalFile.oneRecordPerLine;
  s.Number_Change_Direction = Number_Change_Direction;
  s.Number_Step = Number_Step;
  s.Search_Method = Search_Method;
  file.toleranceText = toleranceText;
  file.stepLengthText = stepLengthText;
  for (const std::string& line : pairs) file.pairs.push_back(pairOfLine(line));
  return file;
}

Refusal LinkingParametersForm::writeFile(const std::string& path, bool renamed) {
  const std::string failure = writeParameterFile(path, parameterFile());
  if (!failure.empty()) return FormMessage{path + "\n\n" + failure, "Can't write initial file"};
  if (renamed) settingsPath = path;
  return std::nullopt;
}
