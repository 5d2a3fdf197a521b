#include "params/settings_keys.h"

#include <array>
#include <string_view>

namespace {

enum class ValueKind { Int, Double, Text, RowSkip };

struct KeyField {
  std::string_view key;
  ValueKind kind;
  int LinkingSettings::*intField = nullptr;
  double LinkingSettings::*doubleField = nullptr;
  DataFileSpec LinkingSettings::*spec = nullptr;
  std::string DataFileSpec::*text = nullptr;
  int DataFileSpec::*specInt = nullptr;
};

constexpr KeyField intKey(std::string_view key, int LinkingSettings::*field) {
  return {key, ValueKind::Int, field};
}
constexpr KeyField doubleKey(std::string_view key, double LinkingSettings::*field) {
  return {key, ValueKind::Double, nullptr, field};
}
constexpr KeyField textKey(std::string_view key, DataFileSpec LinkingSettings::*spec,
                           std::string DataFileSpec::*text) {
  return {key, ValueKind::Text, nullptr, nullptr, spec, text};
}
constexpr KeyField rowSkipKey(std::string_view key, DataFileSpec LinkingSettings::*spec) {
  return {key, ValueKind::RowSkip, nullptr, nullptr, spec, &DataFileSpec::rowSkip};
}
constexpr KeyField typeKey(std::string_view key, DataFileSpec LinkingSettings::*spec) {
  return {key, ValueKind::Int, nullptr, nullptr, spec, nullptr, &DataFileSpec::fileType};
}

using S = LinkingSettings;
using F = DataFileSpec;

constexpr std::array kKeys{
    intKey("Theta_Dimension=", &S::Theta_Dimension),
    intKey("Model_Type=", &S::Model_Type),
    intKey("Parameterization=", &S::Parameterization),
    typeKey("Output_File_Type=", &S::outputFile),
    textKey("Output_File_Name=", &S::outputFile, &F::name),
    intKey("Weighing_Method=", &S::Weighing_Method),
    intKey("Number_Of_Grid=", &S::Number_Of_Grid),
    doubleKey("Range_Begin=", &S::Range_Begin),
    doubleKey("Range_End=", &S::Range_End),
    textKey("Emp_Column_Format=", &S::empiricalFile, &F::columnFormat),
    rowSkipKey("Emp_Row_Skip=", &S::empiricalFile),
    typeKey("From_File_Type=", &S::fromFile),
    rowSkipKey("From_Row_Skip=", &S::fromFile),
    textKey("From_Column_Format=", &S::fromFile, &F::columnFormat),
    typeKey("To_File_Type=", &S::toFile),
    rowSkipKey("To_Row_Skip=", &S::toFile),
    textKey("To_Column_Format=", &S::toFile, &F::columnFormat),
    doubleKey("Tolerance=", &S::Tolerance),
    intKey("Number_Change_Direction=", &S::Number_Change_Direction),
    intKey("Number_Step=", &S::Number_Step),
    doubleKey("Initial_Step_Length=", &S::Initial_Step_Length),
    intKey("Search_Method=", &S::Search_Method),
    textKey("Other_File_1=", &S::outputFile, &F::columnFormat),
    textKey("Other_File_2=", &S::outputFile, &F::rowSkip),
};

bool storeValue(const KeyField& field, const std::string& value, LinkingSettings& s) {
  switch (field.kind) {
    case ValueKind::Int: {
      int number = 0;
      if (!parseIntToken(value, number)) return false;
      if (field.intField != nullptr) {
        s.*field.intField = number;
        // An empirical name already read means the run integrates over that file.
        if (field.intField == &S::Number_Of_Grid && !s.empiricalFile.name.empty()) {
          s.Number_Of_Grid = 0;
        }
      } else {
        s.*field.spec.*field.specInt = number;
      }
      return true;
    }
    case ValueKind::Double: {
      double number = 0.0;
      if (!parseDoubleToken(value, number)) return false;
      s.*field.doubleField = number;
      return true;
    }
    case ValueKind::Text:
      s.*field.spec.*field.text = value;
      return true;
    case ValueKind::RowSkip:
      // The shortest list that can name a line is a digit in braces.
      s.*field.spec.*field.text = value.size() <= 2 ? std::string() : value;
      return true;
  }
  return false;
}

}  // namespace

KeyOutcome applySettingsKey(const std::string& token, TokenReader& reader, LinkingSettings& s) {
  KeyOutcome outcome;
  for (const KeyField& field : kKeys) {
    if (!tokenIsKey(token, field.key)) continue;
    outcome.key = token;
    if (!reader.next(outcome.value)) {
      outcome.value.clear();
      outcome.kind = KeyOutcome::NoValue;
    } else {
      outcome.kind =
          storeValue(field, outcome.value, s) ? KeyOutcome::Stored : KeyOutcome::BadValue;
    }
    return outcome;
  }
  return outcome;
}

std::string badValueMessage(const std::string& file, int line, const KeyOutcome& outcome) {
  std::string message = file + ": line " + std::to_string(line) + ": " + outcome.key;
  return message + " wants a number, found '" + outcome.value + "'";
}

bool isDataFilesToken(const std::string& token) { return tokenIsKey(token, "$Data_Files"); }

bool startsEntryOrSection(const std::string& token) {
  return !token.empty() && (token[0] == '$' || token[0] == '[');
}

std::vector<std::string_view> settingsKeyNames() {
  std::vector<std::string_view> names;
  for (const KeyField& field : kKeys) names.push_back(field.key);
  return names;
}
