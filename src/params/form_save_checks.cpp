// The checks of the Linking Parameters form before a parameter file is written. Each value is
// checked by the rule of the reader that will read it in a run, so that a file the dialog
// saves never fails, or reads otherwise than it looks, only once a run has started.
#include <filesystem>

#include "linking/run_settings.h"
#include "params/data_format_rules.h"
#include "params/linking_parameters_form.h"
#include "params/token_reader.h"

namespace {

const char* const kRoleNames[] = {"From", "To", "empirical theta"};

// A minimization text as the run loader reads it: a finite decimal number.
Refusal searchNumberRefusal(const char* key, const std::string& text, const char* example) {
  double number = 0.0;
  if (text.empty() || parseDoubleToken(text, number)) return std::nullopt;
  return formMessage(std::string("Search: ") + key + " \"" + text +
                     "\" is not a number; a run reads it as a decimal number such as " + example +
                     " and stops at anything else.");
}

}  // namespace

Refusal LinkingParametersForm::checkForSave() const {
  if (!rangeBegin.hasSelection() || !rangeEnd.hasSelection()) {
    return formMessage("Choose the grid range");
  }
  double begin = 0.0, end = 0.0;
  if (!parseDoubleToken(rangeBegin.text(), begin) || !parseDoubleToken(rangeEnd.text(), end)) {
    return formMessage("The grid range must be two numbers: " + rangeBegin.text() + " to " +
                       rangeEnd.text());
  }
  if (!(end > begin)) return formMessage("Improper Grid Range: Begin>=End");
  if (fromFile.columnFormat.empty() || toFile.columnFormat.empty()) {
    return formMessage("The column format for from or to file can't be empty");
  }
  if (empiricalFile.columnFormat.empty() && gridPoint.lastSelected()) {
    return formMessage("The column format for empirical theta file can't be empty");
  }
  if (auto refusal = blankRefusal("The report file name", reportName)) return refusal;
  const std::pair<const ListChoice*, const char*> lists[] = {{&model, "Link Function Type"},
                                                             {&parameterization, "Parameterizaion"},
                                                             {&dimension, "Dimension"},
                                                             {&gridPoint, "Grid Point"}};
  for (const auto& [list, label] : lists) {
    if (!list->hasSelection() || list->text().empty()) continue;
    if (const std::string problem = listValueProblem(list->rule, list->text()); !problem.empty()) {
      return formMessage(std::string("The ") + label + " \"" + list->text() + "\" is refused: " +
                         problem + ". Choose another entry (or correct dlginip.tvk).");
    }
  }
  const int d = dimensionNumber();
  for (int role = From; role <= Empirical; ++role) {
    const DataFileSpec& file = spec(role);
    const std::string problem =
        dataFormatProblem(file.rowSkip, file.columnFormat, role == Empirical ? 0 : d);
    if (!problem.empty()) {
      return formMessage(std::string("The ") + kRoleNames[role] +
                         " file's format is refused by the reader: " + problem +
                         ".\nPick that file, correct Row or Column and press Save Shown Format.");
    }
  }
  if (Search_Method != 0) {
    if (auto refusal = searchNumberRefusal("Tolerance", toleranceText, "1e-8")) return refusal;
    if (auto refusal = searchNumberRefusal("Initial Step Length", stepLengthText, "1.0")) {
      return refusal;
    }
  }
  if (auto refusal = blankRefusal("Other_File_1", outputFile.columnFormat)) return refusal;
  if (auto refusal = blankRefusal("Other_File_2", outputFile.rowSkip)) return refusal;
  return std::nullopt;
}

Refusal LinkingParametersForm::checkTarget(const std::string& path) const {
  if (reportName.empty()) return std::nullopt;
  // A run takes a relative report name from the parameter file's folder.
  const std::filesystem::path report = resolveDataPath(path, reportName);
  const std::filesystem::path folder = report.parent_path();
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error)) return std::nullopt;
  return FormMessage{"The folder of the report file does not exist:\n" + folder.string() +
                         "\n\nA run could not write its report " + report.string() +
                         ". Choose the report file again with Save As.",
                     "Can't open output file"};
}
