#include "cli/check_report.h"

#include "params/number_text.h"

namespace {

std::string numbers(const std::vector<double>& values) {
  std::string text;
  for (double v : values) text += (text.empty() ? "" : " ") + generalText(v);
  return text;
}

// "; polytomous items: 20 graded (5 categories)", or nothing for a file of dichotomous items.
std::string polytomousNote(const ItemCategories& categories) {
  const std::string items = describePolytomousItems(categories);
  return items.empty() ? items : "; polytomous items: " + items;
}

std::string fileLine(const char* role, const DataFileSpec& spec, const DataFileGlance& g,
                     const RunCheck& check, bool itemFile) {
  std::string text = std::string("    ") + role + g.name + " (format " + spec.columnFormat;
  if (!spec.rowSkip.empty()) text += ", rows skipped " + spec.rowSkip;
  if (itemFile) text += ", type " + std::to_string(spec.fileType);
  text += "): ";
  if (!g.read) return text + "NOT READ (see the message above)\n";
  if (!itemFile) return text + "first point " + numbers(g.slopes) + "\n";
  text += "first item a = " + numbers(g.slopes) + ", d = " + generalText(g.intercept);
  if (check.modelType != 1) text += ", c = " + generalText(g.guessing);
  if (check.modelType != 1 && spec.fileType != 0) text += " (a and d scaled by 1.702)";
  return text + polytomousNote(g.categories) + "\n";
}

std::string settingsLines(const RunSettings& s) {
  std::string text = "  Model_Type " + std::to_string(s.Model_Type) + ", Parameterization " +
                     std::to_string(s.Parameterization) + ", Theta_Dimension " +
                     std::to_string(s.Theta_Dimension) + "\n";
  if (s.Number_Of_Grid > 1) {
    text += "  theta points: grid of " + std::to_string(s.Number_Of_Grid) + " per dimension on [" +
            generalText(s.Range_Begin) + ", " + generalText(s.Range_End) + "], " +
            std::to_string(s.pointCount) + " points";
  } else {
    text += "  theta points: " + std::to_string(s.pointCount) + " from the empirical theta file";
  }
  text += s.Weighing_Method != 0 ? ", normal weights" : ", equal weights";
  text += s.Model_Type == 1 ? " (checked, not used by Model 1)\n" : "\n";
  text += "  items: " + std::to_string(s.itemCount) + " (the smaller count of the first pair)\n";
  if (s.Model_Type != 1) {
    text += s.Search_Method == 0
                ? std::string("  search: built-in\n")
                : "  search: method " + std::to_string(s.Search_Method) + ", tolerance " +
                      generalText(s.Tolerance) + ", step " + generalText(s.Initial_Step_Length) +
                      ", " + std::to_string(s.Number_Change_Direction) + " directions, " +
                      std::to_string(s.Number_Step) + " steps\n";
  }
  if (s.outputFile.name.empty()) {
    text += "  report: standard output only\n";
  } else {
    text +=
        "  report file: " + s.outputFile.name +
        (s.outputFile.fileType == 0 ? " (blocks appended)\n" : " (replaced by the first block)\n");
  }
  return text;
}

}  // namespace

std::string formatRunCheck(const std::string& parameterFile, const RunCheck& check) {
  std::string text = "Check: " + parameterFile + "\n";
  if (!check.opened)
    return text + "  the file could not be read\nCheck failed: " + parameterFile + "\n";
  if (!check.hasEngine()) {
    return text + "  Model_Type " + std::to_string(check.modelType) +
           ": only 1, 3 and 4 link; nothing would be linked\nCheck failed: " + parameterFile + "\n";
  }
  if (check.loadResult != kLoadOk) {
    return text +
           "  the settings do not pass (see the message above)\nCheck failed: " + parameterFile +
           "\n";
  }
  const RunSettings& s = check.settings;
  text += settingsLines(s);
  for (std::size_t i = 0; i < check.pairs.size(); ++i) {
    const PairCheck& pair = check.pairs[i];
    text += "  pair " + std::to_string(i + 1) + " (entry " + std::to_string(pair.entry) + "):\n";
    text += fileLine("From  ", s.fromFile, pair.from, check, true);
    text += fileLine("To    ", s.toFile, pair.to, check, true);
    if (!pair.empirical.name.empty()) {
      text += fileLine("Theta ", s.empiricalFile, pair.empirical, check, false);
    }
  }
  text += "  " + std::to_string(check.pairs.size()) + " of " + std::to_string(check.entryCount) +
          " \"$Data_Files\" entries would be linked\n";
  return text + (check.passes() ? "Check passed: " : "Check failed: ") + parameterFile + "\n";
}
