#include "params/linking_parameters_form.h"

#include <algorithm>
#include <cctype>

#include "params/data_format_rules.h"
#include "params/pair_line.h"
#include "params/token_reader.h"

namespace {

std::string uppered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Whether text begins with prefix, letter case ignored.
bool beginsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() &&
         tokenIsKey(std::string_view(text).substr(0, prefix.size()), prefix);
}

const char* typedListLabel(LinkingParametersForm::TypedList list) {
  switch (list) {
    case LinkingParametersForm::DimensionList:
      return "Dimension";
    case LinkingParametersForm::GridPointList:
      return "Grid Point";
    case LinkingParametersForm::RangeBeginList:
      return "Grid Range begin";
    case LinkingParametersForm::RangeEndList:
      return "Grid Range end";
  }
  return "";
}

}  // namespace

LinkingParametersForm::LinkingParametersForm(const ChoiceList& choices, std::string path)
    : dimension(listOf(choices.dimensions, ListRule::Dimension)),
      model(listOf(choices.models, ListRule::Code)),
      parameterization(listOf(choices.parameterizations, ListRule::Code)),
      gridPoint(listOf(choices.gridPoints, ListRule::GridPoints)),
      rangeBegin(listOf(choices.rangeBegins, ListRule::Range)),
      rangeEnd(listOf(choices.rangeEnds, ListRule::Range)),
      pickFile(listOf(choices.fileRoles, ListRule::Any)),
      formats(choices.formats),
      settingsPath(std::move(path)),
      titlePrefix(choices.titlePrefix.empty() ? std::string(kCaption) + " - "
                                              : choices.titlePrefix) {
  offerFormats(true);
}

std::string LinkingParametersForm::windowTitle() const {
  // A title word cannot end with a blank, so one is put between the words and the file.
  const bool blank = !titlePrefix.empty() && titlePrefix.back() != ' ';
  return titlePrefix + (blank ? " " : "") + (settingsPath.empty() ? "Untitle" : settingsPath);
}

DataFileSpec& LinkingParametersForm::spec(int role) {
  return role == From ? fromFile : role == To ? toFile : empiricalFile;  // later roles: empirical
}

const DataFileSpec& LinkingParametersForm::spec(int role) const {
  return const_cast<LinkingParametersForm*>(this)->spec(role);
}

int LinkingParametersForm::dimensionNumber() const {
  int d = 0;
  const bool taken = listValueProblem(ListRule::Dimension, dimension.text()).empty();
  return taken && parseIntToken(dimension.text(), d) ? d : 0;
}

int LinkingParametersForm::chosenFormat() const {
  const bool offered = type.hasSelection() && type.selected < static_cast<int>(typeFormats.size());
  return offered ? typeFormats[type.selected] : 0;
}

void LinkingParametersForm::offerFormats(bool backToFirst) {
  const int kept = backToFirst ? 0 : chosenFormat();
  const bool thetaFile = pickFile.selected >= Empirical;
  const int d = dimensionNumber();
  typeFormats.clear();
  type.entries.clear();
  type.selected = -1;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    // The first entry, the file's own format, is always offered.
    if (i != 0 && !formatFits(formats[i].columnFormat, thetaFile, d)) continue;
    if (static_cast<int>(i) == kept) type.selected = static_cast<int>(typeFormats.size());
    typeFormats.push_back(static_cast<int>(i));
    type.entries.push_back(formats[i].name);
  }
  if (type.selected < 0 && !type.entries.empty()) type.selected = 0;
}

void LinkingParametersForm::showFormat() {
  if (!pickFile.hasSelection() || !type.hasSelection()) return;
  const int role = pickFile.selected;
  const DataFileSpec& file = spec(role);
  const int preset = chosenFormat();
  const FormatPreset* shown = preset == 0 ? nullptr : &formats[preset];
  rowText = shown == nullptr ? file.rowSkip : shown->rowSkip;
  columnText = shown == nullptr ? file.columnFormat : shown->columnFormat;
  // A preset with options says how its file is split (no separator word: blanks) and may name
  // its metric; one without options, and a metric it does not name, show the picked file's.
  const bool optioned = shown != nullptr && shown->hasOptions;
  const bool normalMetric =
      optioned && shown->normalMetric ? *shown->normalMetric : file.fileType != 0;
  normal = role < Empirical && normalMetric;
  logistic = role < Empirical && !normalMetric;
  separatorChoice = optioned ? shown->separator.value_or(' ') : file.separator;
  recordPerLine = optioned ? shown->oneRecordPerLine : file.oneRecordPerLine != 0;
}

void LinkingParametersForm::pickFileClosed() {
  // A preset shown for another file would look like this file's stored format.
  offerFormats(true);
  showFormat();
}

void LinkingParametersForm::dimensionChanged() {
  const int before = chosenFormat();
  offerFormats(false);
  if (chosenFormat() != before) showFormat();
}

ListChoice& LinkingParametersForm::typedList(TypedList list) {
  switch (list) {
    case DimensionList:
      return dimension;
    case GridPointList:
      return gridPoint;
    case RangeBeginList:
      return rangeBegin;
    case RangeEndList:
      break;
  }
  return rangeEnd;
}

Refusal LinkingParametersForm::enterValue(TypedList which, const std::string& text) {
  ListChoice& list = typedList(which);
  if (list.hasSelection() && list.text() == text) return std::nullopt;
  if (text.empty()) {
    list.selected = -1;
  } else {
    const std::string problem = listValueProblem(list.rule, text);
    if (!problem.empty()) {
      return formMessage(std::string(typedListLabel(which)) + ": \"" + text +
                         "\" is not taken: " + problem + ".");
    }
    list.selectValue(text);
  }
  if (which == DimensionList) dimensionChanged();
  return std::nullopt;
}

Refusal LinkingParametersForm::saveShownFormat() {
  if (!pickFile.hasSelection()) return formMessage("No File Type chosen");
  if (auto refusal = blankRefusal("The row-skip text", rowText)) return refusal;
  if (auto refusal = blankRefusal("The column format", columnText)) return refusal;
  rowText = uppered(rowText);
  columnText = uppered(columnText);
  // The count of "A" waits for the save: the dimension may still change.
  if (const std::string problem = dataFormatProblem(rowText, columnText, 0); !problem.empty()) {
    return formMessage("The format is not stored: " + problem);
  }
  DataFileSpec& file = spec(pickFile.selected);
  file.rowSkip = rowText;
  file.columnFormat = columnText;
  file.separator = separatorChoice;
  file.oneRecordPerLine = recordPerLine ? 1 : 0;
  if (pickFile.selected < Empirical) file.fileType = logistic ? 0 : -1;
  return std::nullopt;
}

void LinkingParametersForm::clickScale() {
  const bool wasLogistic = logistic;
  logistic = !wasLogistic;
  normal = wasLogistic;
}

void LinkingParametersForm::clearReport() {
  reportName.clear();
  append = overwrite = false;
}

void LinkingParametersForm::clickReportMode() {
  if (noOutput) {
    clearReport();
    return;
  }
  overwrite = !overwrite;
  append = !overwrite;
}

void LinkingParametersForm::toggleNoOutput() {
  if (noOutput) {
    clearReport();
  } else {
    overwrite = true;
    append = false;
  }
}

bool LinkingParametersForm::wantsReportFile() {
  if (!noOutput) return true;
  clearReport();
  return false;
}

Refusal LinkingParametersForm::chooseReportFile(const std::string& path) {
  if (auto refusal = blankRefusal("The report file name", path)) return refusal;
  reportName = path;
  return std::nullopt;
}

Refusal LinkingParametersForm::chooseDataFile(Role role, const std::string& path) {
  if (auto refusal = blankRefusal("A data file name", path)) return refusal;
  (role == From ? fromName : role == To ? toName : empiricalName) = path;
  return std::nullopt;
}

Refusal LinkingParametersForm::addToList() {
  if (fromName.empty() || toName.empty()) return formMessage("Choose From or To data file");
  for (const std::string* name : {&fromName, &toName, &empiricalName}) {
    if (auto refusal = blankRefusal("A data file name", *name)) return refusal;
  }
  const int last = static_cast<int>(gridPoint.entries.size()) - 1;
  if (!empiricalName.empty() && gridPoint.selected < last) {
    return formMessage("If emprical theta file is needed, Set Grid Point to ZERO");
  }
  if (empiricalName.empty() && gridPoint.selected == last) {
    return formMessage("If No Emprical theta file is needed, Set Grid Point to NONZERO");
  }
  std::string line = fromName + " " + toName;
  if (!empiricalName.empty()) line += " " + empiricalName;
  for (const std::string& existing : pairs) {
    if (beginsWith(existing, line)) return formMessage("Files already exist on the list");
  }
  pairs.push_back(line);
  return std::nullopt;
}

Refusal LinkingParametersForm::deleteFromList() {
  if (selectedPair < 0 || selectedPair >= static_cast<int>(pairs.size())) {
    return formMessage("Choose a line below to delete");
  }
  pairs.erase(pairs.begin() + selectedPair);
  selectedPair = -1;
  return std::nullopt;
}

Refusal LinkingParametersForm::showItem() {
  if (selectedPair < 0 || selectedPair >= static_cast<int>(pairs.size())) {
    return formMessage("Choose a line below to show");
  }
  const DataFilePair pair = pairOfLine(pairs[selectedPair]);
  fromName = pair.from;
  toName = pair.to;
  empiricalName = pair.empirical;
  return std::nullopt;
}

Refusal LinkingParametersForm::closeGridPoint() {
  if (pairs.empty()) return std::nullopt;
  const DataFilePair first = pairOfLine(pairs.front());
  if (!first.empirical.empty() && !gridPoint.lastSelected()) {
    gridPoint.selected = static_cast<int>(gridPoint.entries.size()) - 1;
    return formMessage("Empirical theta file present, can't set to nonzero grid point");
  }
  if (!first.to.empty() && first.empirical.empty() && gridPoint.lastSelected()) {
    gridPoint.selected = 0;
    return formMessage("No empirical theta file present, can't set to zero grid point");
  }
  return std::nullopt;
}

std::vector<std::pair<int, std::string>> LinkingParametersForm::searchMethodChoices() const {
  std::vector<std::pair<int, std::string>> choices{
      {0, "0 built-in search"}, {1, "1 steepest descent"}, {2, "2 Newton-Raphson"}};
  if (Search_Method < 0 || Search_Method > 2) {
    // A run searches by Newton-Raphson for any other code; the file keeps the code.
    choices.push_back({Search_Method, std::to_string(Search_Method) + " (Newton-Raphson)"});
  }
  return choices;
}
