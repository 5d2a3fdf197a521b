// ListChoice: one drop-down list of the Linking Parameters dialog and the value it stands for.
//
// The entries come from the choice-list file; a value loaded from a parameter file or typed by
// the user that is not an entry is added for this dialog, so that it is shown and written back
// exactly as it stands. Each list knows the rule a run applies to its value, so a value a run
// would refuse or change is refused where it enters, never replaced by a neighbouring entry.
#pragma once

#include <string>
#include <vector>

// What a run accepts as the value of a list.
enum class ListRule {
  Any,         // no parameter-file value (Pick File, Type)
  Dimension,   // Theta_Dimension: a whole number from 1 to 25
  GridPoints,  // Number_Of_Grid: a whole number, at least 0; the last entry is the zero choice
  Range,       // Range_Begin, Range_End: a finite decimal number
  Code,  // Model_Type, Parameterization: the entry's text up to its first blank, a whole number
};

struct ListChoice {
  std::vector<std::string> entries;
  int selected = -1;  // -1: nothing selected
  ListRule rule = ListRule::Any;

  bool hasSelection() const { return selected >= 0 && selected < static_cast<int>(entries.size()); }
  bool lastSelected() const {
    return hasSelection() && selected == static_cast<int>(entries.size()) - 1;
  }
  const std::string& text() const;  // the selected entry, or an empty text
  // What a parameter file gets from the selection: the code of a coded list, else the text.
  std::string value() const;

  // Selects the entry equal to value (letter case ignored; coded lists compare codes). When
  // none is, value is added for this dialog and selected: grid points before the last entry
  // (the zero choice, which a value of 0 selects), other lists at the end. Checks nothing.
  void selectValue(const std::string& value);
};

ListChoice listOf(const std::vector<std::string>& entries, ListRule rule);

// The first entry equal to value (letter case ignored; for coded lists: whose code is), or -1.
int findEntry(const std::vector<std::string>& entries, const std::string& value, bool byCode);

// Why a run refuses or changes value under rule ("must be a whole number from 1 to 25"), or
// an empty text when it takes it as it stands.
std::string listValueProblem(ListRule rule, const std::string& value);
