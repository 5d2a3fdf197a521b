// The Linking Parameters form's own reading of a parameter file.
#include <fstream>

#include "params/linking_parameters_form.h"
#include "params/settings_keys.h"
#include "params/text_file.h"
#include "params/token_reader.h"

namespace {

// The row-skip text of a parameter-file value: the text inside its braces.
std::string rowSkipText(const std::string& value) {
  if (value.size() < 3) return {};
  std::string text = value;
  if (text.front() == '{') text.erase(text.begin());
  if (!text.empty() && text.back() == '}') text.pop_back();
  return text;
}

const char* const kUnnamed = "the dialog is left unnamed, so that saving asks for a file name.";

}  // namespace

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
    result.messages.push_back(formMessage(badValueMessage(name, reader.line(), outcome) +
                                          "\nThe values read before it are shown; " + kUnnamed));
    settingsPath.clear();
  };
  // A list value: one that is no number stops the reading like any number; one that a run
  // refuses is named and left out; any other is selected, added to its list when it is no
  // entry, so that saving writes it back as it stands.
  const auto takeListValue = [&](ListChoice& list, const std::string& key, std::string value) {
    int whole = 0;
    double number = 0.0;
    const bool isNumber = list.rule == ListRule::Range ? parseDoubleToken(value, number)
                                                       : parseIntToken(value, whole);
    if (!isNumber) {
      halfRead(key, value);
      return false;
    }
    // A whole range number gets ".0", as the lists write it ("-4" is "-4.0"); "1e-1" stays.
    if (list.rule == ListRule::Range && value.find_first_of(".eE") == std::string::npos) {
      value += ".0";
    }
    if (const std::string problem = listValueProblem(list.rule, value); !problem.empty()) {
      if (result.kind == FormLoadResult::Loaded) result.kind = FormLoadResult::ValueRefused;
      const std::string kept = list.hasSelection() ? "\"" + list.text() + "\"" : "no entry";
      result.messages.push_back(formMessage(name + ": line " + std::to_string(reader.line()) +
                                            ": " + key + " " + value + ": " + problem +
                                            ".\nThe list keeps " + kept + "; " + kUnnamed));
      settingsPath.clear();
      return true;
    }
    list.selectValue(value);
    return true;
  };
  const auto notInAllPairs = [&] {
    result.messages.push_back(formMessage("Empirical theta file is not used in all pairs"));
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
      ok = takeListValue(dimension, key, value);
    } else if (is("Model_Type=")) {
      ok = takeListValue(model, key, value);
    } else if (is("Parameterization=")) {
      ok = takeListValue(parameterization, key, value);
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
      ok = takeListValue(gridPoint, key, value);
    } else if (is("Range_Begin=")) {
      ok = takeListValue(rangeBegin, key, value);
    } else if (is("Range_End=")) {
      ok = takeListValue(rangeEnd, key, value);
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
    } else if (is("From_Separator=") || is("To_Separator=") || is("Emp_Separator=")) {
      DataFileSpec& file = is("From_Separator=") ? fromFile
                           : is("To_Separator=") ? toFile
                                                 : empiricalFile;
      if (!(ok = parseSeparatorToken(value, file.separator))) halfRead(key, value);
    } else if (is("From_One_Record_Per_Line=") || is("To_One_Record_Per_Line=") ||
               is("Emp_One_Record_Per_Line=")) {
      DataFileSpec& file = is("From_One_Record_Per_Line=") ? fromFile
                           : is("To_One_Record_Per_Line=") ? toFile
                                                           : empiricalFile;
      if (!(ok = parseSwitchToken(value, file.oneRecordPerLine))) halfRead(key, value);
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
  dimensionChanged();
  return result;
}
