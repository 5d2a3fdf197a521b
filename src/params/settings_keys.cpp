#include "params/settings_keys.h"

#include <array>
#include <cctype>
#include <string_view>

namespace {

enum class ValueKind { Int, Double, Text, RowSkip, Separator, Switch };

struct KeyField {
  std::string_view key;
  ValueKind kind;
  int LinkingSettings::*intField = nullptr;
  double LinkingSettings::*doubleField = nullptr;
  DataFileSpec LinkingSettings::*spec = nullptr;
  std::string DataFileSpec::*text = nullptr;
  int DataFileSpec::*specInt = nullptr;
  char DataFileSpec::*specChar = nullptr;
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
constexpr KeyField separatorKey(std::string_view key, DataFileSpec LinkingSettings::*spec) {
  return {key,     ValueKind::Separator,    nullptr, nullptr, spec, nullptr,
          nullptr, &DataFileSpec::separator};
}
constexpr KeyField recordPerLineKey(std::string_view key, DataFileSpec LinkingSettings::*spec) {
  return {key, ValueKind::Switch, nullptr, nullptr, spec, nullptr, &DataFileSpec::oneRecordPerLine};
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
    separatorKey("From_Separator=", &S::fromFile),
    separatorKey("To_Separator=", &S::toFile),
    separatorKey("Emp_Separator=", &S::empiricalFile),
    recordPerLineKey("From_One_Record_Per_Line=", &S::fromFile),
    recordPerLineKey("To_One_Record_Per_Line=", &S::toFile),
    recordPerLineKey("Emp_One_Record_Per_Line=", &S::empiricalFile),
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
    case ValueKind::Separator:
      return parseSeparatorToken(value, s.*field.spec.*field.specChar);
    case ValueKind::Switch:
      return parseSwitchToken(value, s.*field.spec.*field.specInt);
  }
  return false;
}

struct SeparatorName {
  char separator;
  std::string_view name;
};
constexpr std::array kSeparators{SeparatorName{' ', "blank"}, SeparatorName{',', "comma"},
                                 SeparatorName{';', "semicolon"}, SeparatorName{'\t', "tab"}};

const KeyField* fieldOfKey(const std::string& token) {
  for (const KeyField& field : kKeys) {
    if (tokenIsKey(token, field.key)) return &field;
  }
  return nullptr;
}

}  // namespace

bool parseSeparatorToken(std::string_view word, char& separator) {
  for (const SeparatorName& known : kSeparators) {
    if (word.size() != known.name.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < word.size(); ++k) {
      same = same && std::tolower(static_cast<unsigned char>(word[k])) == known.name[k];
    }
    if (same) {
      separator = known.separator;
      return true;
    }
  }
  return false;
}

std::string_view separatorName(char separator) {
  for (const SeparatorName& known : kSeparators) {
    if (known.separator == separator) return known.name;
  }
  return kSeparators.front().name;
}

bool parseSwitchToken(std::string_view word, int& value) {
  int number = 0;
  if (!parseIntToken(word, number) || (number != 0 && number != 1)) return false;
  value = number;
  return true;
}

KeyOutcome applySettingsKey(const std::string& token, TokenReader& reader, LinkingSettings& s) {
  KeyOutcome outcome;
  const KeyField* field = fieldOfKey(token);
  if (field == nullptr) return outcome;
  outcome.key = token;
  if (!reader.next(outcome.value)) {
    outcome.value.clear();
    outcome.kind = KeyOutcome::NoValue;
  } else {
    outcome.kind = storeValue(*field, outcome.value, s) ? KeyOutcome::Stored : KeyOutcome::BadValue;
  }
  return outcome;
}

std::string badValueMessage(const std::string& file, int line, const KeyOutcome& outcome) {
  std::string wants = "a number";
  if (const KeyField* field = fieldOfKey(outcome.key)) {
    if (field->kind == ValueKind::Separator) wants = "blank, comma, semicolon or tab";
    if (field->kind == ValueKind::Switch) wants = "0 or 1";
  }
  std::string message = file + ": line " + std::to_string(line) + ": " + outcome.key;
  return message + " wants " + wants + ", found '" + outcome.value + "'";
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
