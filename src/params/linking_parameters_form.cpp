#include "params/linking_parameters_form.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "params/settings_keys.h"
#include "params/text_file.h"
#include "params/token_reader.h"

namespace {

const std::string kEmpty;

std::string uppered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool hasBlank(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isspace(c) != 0; });
}

// Whether text begins with prefix, letter case ignored.
bool beginsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() &&
         tokenIsKey(std::string_view(text).substr(0, prefix.size()), prefix);
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> result;
  for (std::string word; in >> word;) result.push_back(word);
  return result;
}

ListChoice listOf(const std::vector<std::string>& entries) {
  return {entries, entries.empty() ? -1 : 0};
}

FormMessage message(std::string text) { return {std::move(text), {}}; }

Refusal blankRefusal(const std::string& what, const std::string& text) {
  if (!hasBlank(text)) return std::nullopt;
  return message(what +
                 " can't contain blanks or tabs (a parameter file separates its values "
                 "by them):\n" +
                 text);
}

// The row-skip text of a parameter-file value: the text inside its braces.
std::string rowSkipText(const std::string& value) {
  if (value.size() < 3) return {};
  std::string text = value;
  if (text.front() == '{') text.erase(text.begin());
  if (!text.empty() && text.back() == '}') text.pop_back();
  return text;
}

}  // namespace

const std::string& ListChoice::text() const { return hasSelection() ? entries[selected] : kEmpty; }

int matchEntry(const std::vector<std::string>& entries, const std::string& value, bool byCode) {
  const int n = static_cast<int>(entries.size());
  for (int i = 0; i < n; ++i) {
    const std::string candidate = byCode ? entryCode(entries[i]) : entries[i];
    if (tokenIsKey(candidate, value)) return i;
  }
  for (int k = 1; k <= n; ++k) {
    const int i = k % n;
    if (beginsWith(entries[i], value)) return i;
  }
  return -1;
}

LinkingParametersForm::LinkingParametersForm(const ChoiceList& choices, std::string path)
    : dimension(listOf(choices.dimensions)),
      model(listOf(choices.models)),
      parameterization(listOf(choices.parameterizations)),
      gridPoint(listOf(choices.gridPoints)),
      rangeBegin(listOf(choices.rangeBegins)),
      rangeEnd(listOf(choices.rangeEnds)),
      pickFile(listOf(choices.fileRoles)),
      formats(choices.formats),
      settingsPath(std::move(path)),
      titlePrefix(choices.titlePrefix.empty() ? std::string(kCaption) + " - "
                                              : choices.titlePrefix) {
  for (const FormatPreset& preset : formats) type.entries.push_back(preset.name);
  type.selected = type.entries.empty() ? -1 : 0;
}

std::string LinkingParametersForm::windowTitle() const {
  // A title word cannot end with a blank, so one is put between the words and the file.
  const bool blank = !titlePrefix.empty() && titlePrefix.back() != ' ';
  return titlePrefix + (blank ? " " : "") + (settingsPath.empty() ? "Untitle" : settingsPath);
}

DataFileSpec& LinkingParametersForm::spec(int role) {
  return role == From ? fromFile : role == To ? toFile : empiricalFile;  // later roles: empirical
}

void LinkingParametersForm::showFormat() {
  if (!pickFile.hasSelection() || !type.hasSelection()) return;
  const int role = pickFile.selected;
  const DataFileSpec& file = spec(role);
  if (role >= Empirical || type.selected == 0) {
    rowText = file.rowSkip;
    columnText = file.columnFormat;
  } else {
    rowText = formats[type.selected].rowSkip;
    columnText = formats[type.selected].columnFormat;
  }
  normal = role < Empirical && file.fileType != 0;
  logistic = role < Empirical && file.fileType == 0;
}

Refusal LinkingParametersForm::saveShownFormat() {
  if (!pickFile.hasSelection()) return message("No File Type chosen");
  if (auto refusal = blankRefusal("The row-skip text", rowText)) return refusal;
  if (auto refusal = blankRefusal("The column format", columnText)) return refusal;
  rowText = uppered(rowText);
  columnText = uppered(columnText);
  DataFileSpec& file = spec(pickFile.selected);
  file.rowSkip = rowText;
  file.columnFormat = columnText;
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
  if (fromName.empty() || toName.empty()) return message("Choose From or To data file");
  for (const std::string* name : {&fromName, &toName, &empiricalName}) {
    if (auto refusal = blankRefusal("A data file name", *name)) return refusal;
  }
  const int last = static_cast<int>(gridPoint.entries.size()) - 1;
  if (!empiricalName.empty() && gridPoint.selected < last) {
    return message("If emprical theta file is needed, Set Grid Point to ZERO");
  }
  if (empiricalName.empty() && gridPoint.selected == last) {
    return message("If No Emprical theta file is needed, Set Grid Point to NONZERO");
  }
  std::string line = fromName + " " + toName;
  if (!empiricalName.empty()) line += " " + empiricalName;
  for (const std::string& existing : pairs) {
    if (beginsWith(existing, line)) return message("Files already exist on the list");
  }
  pairs.push_back(line);
  return std::nullopt;
}

Refusal LinkingParametersForm::deleteFromList() {
  if (selectedPair < 0 || selectedPair >= static_cast<int>(pairs.size())) {
    return message("Choose a line below to delete");
  }
  pairs.erase(pairs.begin() + selectedPair);
  selectedPair = -1;
  return std::nullopt;
}

Refusal LinkingParametersForm::showItem() {
  if (selectedPair < 0 || selectedPair >= static_cast<int>(pairs.size())) {
    return message("Choose a line below to show");
  }
  const std::vector<std::string> names = words(pairs[selectedPair]);
  fromName = names.size() > 0 ? names[0] : std::string();
  toName = names.size() > 1 ? names[1] : std::string();
  empiricalName = names.size() > 2 ? names[2] : std::string();
  return std::nullopt;
}

Refusal LinkingParametersForm::closeGridPoint() {
  if (pairs.empty()) return std::nullopt;
  const std::size_t names = words(pairs.front()).size();
  if (names >= 3 && !gridPoint.lastSelected()) {
    gridPoint.selected = static_cast<int>(gridPoint.entries.size()) - 1;
    return message("Empirical theta file present, can't set to nonzero grid point");
  }
  if (names == 2 && gridPoint.lastSelected()) {
    gridPoint.selected = 0;
    return message("No empirical theta file present, can't set to zero grid point");
  }
  return std::nullopt;
}

FormLoadResult LinkingParametersForm::loadFile(const std::string& path) {
  std::ifstream in;
  if (!openTextFile(path, in)) {
    return {FormLoadResult::CannotOpen, {{path, "Can't open initial file"}}};
  }
  return load(in, path);
}

FormLoadResult LinkingParametersForm::load(std::istream& in, const std::string& name) {
  enum class Empirical { Undecided, AllPairs, NoPair };
  Empirical state = Empirical::Undecided;
  FormLoadResult result;
  TokenReader reader(in);
  const auto halfRead = [&](const std::string& key, const std::string& value) {
    KeyOutcome outcome{KeyOutcome::BadValue, key, value};
    result.kind = FormLoadResult::HalfRead;
    result.messages.push_back(
        message(badValueMessage(name, reader.line(), outcome) +
                "\nThe values read before it are shown; the dialog is left unnamed, so that "
                "saving asks for a file name."));
    settingsPath.clear();
  };
  const auto selectIn = [](ListChoice& list, const std::string& value, bool byCode) {
    const int index = matchEntry(list.entries, value, byCode);
    if (index >= 0) list.selected = index;
  };
  const auto selectRange = [](ListChoice& list, std::string value) {
    // A whole number gets ".0", as the lists write it ("-4" is "-4.0"); "1e-1" stays a number.
    if (value.find_first_of(".eE") == std::string::npos) value += ".0";
    const int index = matchEntry(list.entries, value, false);
    if (index >= 0) {
      list.selected = index;
    } else {
      list.entries.push_back(value);
      list.selected = static_cast<int>(list.entries.size()) - 1;
    }
  };
  const auto notInAllPairs = [&] {
    result.messages.push_back(message("Empirical theta file is not used in all pairs"));
  };

  std::string token;
  bool haveToken = reader.next(token);
  while (haveToken) {
    if (isDataFilesToken(token)) {
      // The entries run to the next section header; other tokens among them are skipped.
      while (haveToken && token[0] != '[') {
        if (!isDataFilesToken(token)) {
          haveToken = reader.next(token);
          continue;
        }
        std::string number, from, to;
        if (!reader.next(number) || !reader.next(from) || !reader.next(to)) {
          haveToken = false;
          break;
        }
        std::string line = from + " " + to;
        haveToken = reader.next(token);
        if (!haveToken || startsEntryOrSection(token)) {
          if (state == Empirical::AllPairs)
            notInAllPairs();
          else
            state = Empirical::NoPair;
        } else {
          line += " " + token;
          if (state == Empirical::NoPair)
            notInAllPairs();
          else
            state = Empirical::AllPairs;
          haveToken = reader.next(token);
        }
        pairs.push_back(line);
      }
      continue;
    }
    const bool isKey = token.back() == '=';
    std::string value;
    if (!isKey || !reader.next(value)) {
      haveToken = isKey ? false : reader.next(token);
      continue;
    }
    const std::string key = token;
    const auto is = [&](const char* k) { return tokenIsKey(key, k); };
    const auto readInt = [&](int& target) {
      if (parseIntToken(value, target)) return true;
      halfRead(key, value);
      return false;
    };
    const auto isNumber = [&] {
      double number = 0.0;
      if (parseDoubleToken(value, number)) return true;
      halfRead(key, value);
      return false;
    };
    bool ok = true;
    int number = 0;
    if (is("Theta_Dimension=")) {
      selectIn(dimension, value, false);
    } else if (is("Model_Type=")) {
      selectIn(model, value, true);
    } else if (is("Parameterization=")) {
      selectIn(parameterization, value, true);
    } else if (is("Output_File_Type=")) {
      if ((ok = readInt(number))) {
        overwrite = number != 0;
        append = !overwrite;
      }
    } else if (is("Output_File_Name=")) {
      reportName = value;
      noOutput = false;
    } else if (is("Weighing_Method=")) {
      if ((ok = readInt(number)) && number != 0) weighedSum = true;
    } else if (is("Number_Of_Grid=")) {
      selectIn(gridPoint, value, false);
    } else if (is("Range_Begin=")) {
      if ((ok = isNumber())) selectRange(rangeBegin, value);
    } else if (is("Range_End=")) {
      if ((ok = isNumber())) selectRange(rangeEnd, value);
    } else if (is("Emp_Column_Format=")) {
      empiricalFile.columnFormat = value;
    } else if (is("Emp_Row_Skip=")) {
      empiricalFile.rowSkip = rowSkipText(value);
    } else if (is("From_File_Type=")) {
      ok = readInt(fromFile.fileType);
    } else if (is("From_Row_Skip=")) {
      fromFile.rowSkip = rowSkipText(value);
    } else if (is("From_Column_Format=")) {
      fromFile.columnFormat = value;
    } else if (is("To_File_Type=")) {
      ok = readInt(toFile.fileType);
    } else if (is("To_Row_Skip=")) {
      toFile.rowSkip = rowSkipText(value);
    } else if (is("To_Column_Format=")) {
      toFile.columnFormat = value;
    } else if (is("Tolerance=")) {
      if ((ok = isNumber())) toleranceText = value;
    } else if (is("Number_Change_Direction=")) {
      ok = readInt(Number_Change_Direction);
    } else if (is("Number_Step=")) {
      ok = readInt(Number_Step);
    } else if (is("Initial_Step_Length=")) {
      if ((ok = isNumber())) stepLengthText = value;
    } else if (is("Search_Method=")) {
      ok = readInt(Search_Method);
    } else if (is("Other_File_1=")) {
      outputFile.columnFormat = value;
    } else if (is("Other_File_2=")) {
      outputFile.rowSkip = value;
    } else {
      // Not a key: its "value" may be a key or an entry itself, so look at it again.
      token = value;
      continue;
    }
    if (!ok) break;
    haveToken = reader.next(token);
  }
  if (state == Empirical::AllPairs && !gridPoint.entries.empty()) {
    gridPoint.selected = static_cast<int>(gridPoint.entries.size()) - 1;
  }
  return result;
}

Refusal LinkingParametersForm::checkForSave() const {
  if (!rangeBegin.hasSelection() || !rangeEnd.hasSelection()) {
    return message("Choose the grid range");
  }
  double begin = 0.0, end = 0.0;
  if (!parseDoubleToken(rangeBegin.text(), begin) || !parseDoubleToken(rangeEnd.text(), end)) {
    return message("The grid range must be two numbers: " + rangeBegin.text() + " to " +
                   rangeEnd.text());
  }
  if (!(end > begin)) return message("Improper Grid Range: Begin>=End");
  if (fromFile.columnFormat.empty() || toFile.columnFormat.empty()) {
    return message("The column format for from or to file can't be empty");
  }
  if (empiricalFile.columnFormat.empty() && gridPoint.lastSelected()) {
    return message("The column format for empirical theta file can't be empty");
  }
  if (auto refusal = blankRefusal("The report file name", reportName)) return refusal;
  const std::pair<const ListChoice*, const char*> coded[] = {{&model, "Link Function Type"},
                                                             {&parameterization, "Parameterizaion"},
                                                             {&dimension, "Dimension"},
                                                             {&gridPoint, "Grid Point"}};
  for (const auto& [list, label] : coded) {
    int number = 0;
    if (list->hasSelection() && !list->text().empty() &&
        !parseIntToken(entryCode(list->text()), number)) {
      return message(std::string("The ") + label + " entry \"" + list->text() +
                     "\" does not begin with a whole number; correct dlginip.tvk");
    }
  }
  return std::nullopt;
}

ParameterFile LinkingParametersForm::parameterFile() const {
  ParameterFile file;
  LinkingSettings& s = file.settings;
  // A list without a selection writes the value a reader takes when the key is absent.
  const auto code = [](const ListChoice& list, int& field) {
    if (list.hasSelection()) parseIntToken(entryCode(list.text()), field);
  };
  code(model, s.Model_Type);
  code(parameterization, s.Parameterization);
  code(dimension, s.Theta_Dimension);
  code(gridPoint, s.Number_Of_Grid);
  parseDoubleToken(rangeBegin.text(), s.Range_Begin);
  parseDoubleToken(rangeEnd.text(), s.Range_End);
  s.Weighing_Method = weighedSum ? 1 : 0;
  s.outputFile = outputFile;
  s.outputFile.name = reportName;
  s.outputFile.fileType = overwrite ? 1 : 0;
  s.fromFile = fromFile;
  s.toFile = toFile;
  s.empiricalFile.columnFormat = empiricalFile.columnFormat;
  s.empiricalFile.rowSkip = empiricalFile.rowSkip;
  s.Number_Change_Direction = Number_Change_Direction;
  s.Number_Step = Number_Step;
  s.Search_Method = Search_Method;
  file.toleranceText = toleranceText;
  file.stepLengthText = stepLengthText;
  for (const std::string& line : pairs) {
    const std::vector<std::string> names = words(line);
    DataFilePair pair;
    if (names.size() > 0) pair.from = names[0];
    if (names.size() > 1) pair.to = names[1];
    if (names.size() > 2) pair.empirical = names[2];
    file.pairs.push_back(pair);
  }
  return file;
}

Refusal LinkingParametersForm::writeFile(const std::string& path, bool renamed) {
  const std::string failure = writeParameterFile(path, parameterFile());
  if (!failure.empty()) return FormMessage{path + "\n\n" + failure, "Can't write initial file"};
  if (renamed) settingsPath = path;
  return std::nullopt;
}
