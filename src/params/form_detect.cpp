// Detect: the picked file's format worked out from its content.
#include "data/layout_recognition.h"
#include "params/linking_parameters_form.h"

namespace {

std::string unbraced(std::string list) {
  if (!list.empty() && list.front() == '{') list.erase(list.begin());
  if (!list.empty() && list.back() == '}') list.pop_back();
  return list;
}

}  // namespace

FormMessage LinkingParametersForm::detectFormat(const std::string& path, bool& changed) {
  changed = false;
  const std::string caption = "Detect";
  if (!pickFile.hasSelection()) return formMessage("No File Type chosen");
  if (path.empty()) {
    return {"Choose the picked file in Locate Data Files first: Detect reads it.", caption};
  }
  const int role = pickFile.selected;
  const RecognizedLayout layout = recognizeLayoutOfFile(path);
  const char* prefix = role == From ? "From" : role == To ? "To" : "Emp";
  std::string text = describeLayout(layout, prefix);
  if (!layout.recognised) return {text + "\nThe format shown is left as it was.", caption};
  if (layout.thetaFile != (role >= Empirical)) {
    return {text + "\nThe format shown is left as it was: the file holds " +
                (layout.thetaFile ? "theta points" : "items") + ", and the picked file is " +
                (role >= Empirical ? "the empirical theta file." : "an item file."),
            caption};
  }
  const std::string rowBefore = rowText, columnBefore = columnText;
  rowText = unbraced(layout.spec.rowSkip);
  if (rowText.empty()) rowText = "0";
  columnText = layout.spec.columnFormat;
  separatorChoice = layout.spec.separator;
  recordPerLine = layout.spec.oneRecordPerLine != 0;
  if (role < Empirical && layout.metric >= 0) {
    normal = layout.metric == 1;
    logistic = !normal;
  }
  if (const Refusal refusal = saveShownFormat()) {
    rowText = rowBefore;
    columnText = columnBefore;
    return *refusal;
  }
  changed = true;
  offerFormats(true);  // the Type list shows the file's own format, now the detected one
  const int d = dimensionNumber();
  if (d != 0 && d != layout.dimension) {
    text += "\nThe file is in " + std::to_string(layout.dimension) +
            " dimensions, but Dimension is " + std::to_string(d) + ".";
  }
  return {text + "\nThis format is now the picked file's own; change it and Save Shown Format "
                 "if it is not right.",
          caption};
}
