#include "params/parameter_file.h"

#include <charconv>

#include "params/replace_file.h"
#include "params/settings_keys.h"
#include "params/token_reader.h"

namespace {

// Shortest text that reads back as the same double, with a decimal point as the dialog's
// range lists hold them ("-4.0", not "-4").
std::string rangeText(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  return text;
}

std::string braced(const std::string& rowSkip) {
  std::string text = rowSkip;
  if (text.front() != '{') text.insert(text.begin(), '{');
  if (text.back() != '}') text.push_back('}');
  return text;
}

void addLine(std::string& out, const std::string& line) {
  out += line;
  out += '\n';
}

void addDataFileFormat(std::string& out, const std::string& prefix, const DataFileSpec& spec,
                       bool withType) {
  if (!spec.rowSkip.empty()) addLine(out, prefix + "_Row_Skip= " + braced(spec.rowSkip));
  // An empty value would make the reader take the next key as the format.
  if (!spec.columnFormat.empty()) {
    addLine(out, prefix + "_Column_Format= " + spec.columnFormat);
  }
  if (withType) addLine(out, prefix + "_File_Type= " + std::to_string(spec.fileType) + " ");
  // Written only when not the default, so that older files are written back as they were.
  if (spec.separator != ' ') {
    addLine(out, prefix + "_Separator= " + std::string(separatorName(spec.separator)));
  }
  if (spec.oneRecordPerLine != 0) addLine(out, prefix + "_One_Record_Per_Line= 1");
}

}  // namespace

std::string formatDataFileKeys(const std::string& prefix, const DataFileSpec& spec,
                               bool withType) {
  std::string out;
  addDataFileFormat(out, prefix, spec, withType);
  return out;
}

ParameterFileReadResult readParameterFile(std::istream& in, const std::string& name,
                                          ParameterFile& file) {
  file = ParameterFile{};
  ParameterFileReadResult result;
  TokenReader reader(in);
  std::string token;
  // The token after an entry's To name belongs to the next entry or section when it starts
  // with "$" or "["; it is then looked at again.
  bool lookAgain = false;
  while (lookAgain || reader.next(token)) {
    lookAgain = false;
    if (isDataFilesToken(token)) {
      DataFilePair pair;
      std::string number;
      if (!reader.next(number) || !reader.next(pair.from) || !reader.next(pair.to)) break;
      if (reader.next(token)) {
        if (startsEntryOrSection(token)) {
          lookAgain = true;
        } else {
          pair.empirical = token;
        }
      }
      file.pairs.push_back(std::move(pair));
      continue;
    }
    KeyOutcome outcome = applySettingsKey(token, reader, file.settings);
    if (outcome.kind == KeyOutcome::BadValue) {
      result.ok = false;
      result.message = badValueMessage(name, reader.line(), outcome);
      return result;
    }
    if (outcome.kind == KeyOutcome::Stored) {
      if (tokenIsKey(outcome.key, "Tolerance=")) file.toleranceText = outcome.value;
      if (tokenIsKey(outcome.key, "Initial_Step_Length=")) file.stepLengthText = outcome.value;
    }
  }
  return result;
}

std::string formatParameterFile(const ParameterFile& file) {
  const LinkingSettings& s = file.settings;
  std::string out;
  const ListedValues listed = file.listed.value_or(
      ListedValues{std::to_string(s.Model_Type), std::to_string(s.Parameterization),
                   std::to_string(s.Theta_Dimension), std::to_string(s.Number_Of_Grid),
                   rangeText(s.Range_Begin), rangeText(s.Range_End)});
  const auto addListed = [&out](const char* key, const std::string& text) {
    if (!text.empty()) addLine(out, key + text);
  };
  addLine(out, "[REDevar Parameters]");
  addListed("Model_Type= ", listed.model);
  addListed("Parameterization= ", listed.parameterization);
  addListed("Theta_Dimension= ", listed.dimension);
  if (!s.outputFile.name.empty()) {
    addLine(out, std::string("Output_File_Type= ") + (s.outputFile.fileType != 0 ? "1" : "0"));
    addLine(out, "Output_File_Name=  " + s.outputFile.name);
  }

  addLine(out, "");
  addLine(out, "[Integral Parameter]");
  addLine(out, std::string("Weighing_Method= ") + (s.Weighing_Method != 0 ? "1" : "0"));
  addListed("Number_Of_Grid= ", listed.gridPoints);
  addLine(out, "Range_Begin= " + listed.rangeBegin);
  addLine(out, "Range_End= " + listed.rangeEnd);

  addLine(out, "");
  addLine(out, "[Data File Format]");
  addDataFileFormat(out, "From", s.fromFile, true);
  addDataFileFormat(out, "To", s.toFile, true);
  addDataFileFormat(out, "Emp", s.empiricalFile, false);

  addLine(out, "");
  addLine(out, "[Minimization Parameters]");
  if (s.Search_Method != 0) {
    if (!file.toleranceText.empty()) addLine(out, "Tolerance= " + file.toleranceText);
    addLine(out, "Number_Change_Direction= " + std::to_string(s.Number_Change_Direction));
    addLine(out, "Number_Step= " + std::to_string(s.Number_Step));
    if (!file.stepLengthText.empty()) {
      addLine(out, "Initial_Step_Length= " + file.stepLengthText);
    }
    addLine(out, "Search_Method= " + std::to_string(s.Search_Method) + " ");
  }

  addLine(out, "");
  addLine(out, "[Data File Names]");
  int number = 1;
  for (const DataFilePair& pair : file.pairs) {
    std::string line = "$Data_Files " + std::to_string(number++) + "= " + pair.from + " " + pair.to;
    if (!pair.empirical.empty()) line += " " + pair.empirical;
    addLine(out, line);
  }

  addLine(out, "");
  addLine(out, "[Other Parameters]");
  if (!s.outputFile.columnFormat.empty()) {
    addLine(out, "Other_File_1= " + s.outputFile.columnFormat);
  }
  if (!s.outputFile.rowSkip.empty()) {
    addLine(out, "Other_File_2= " + s.outputFile.rowSkip);
    addLine(out, "");
  }
  return out;
}

std::string writeParameterFile(const std::string& path, const ParameterFile& file) {
  return replaceFileContents(path, formatParameterFile(file));
}
