// LinkingParametersForm: the values and rules of the Linking Parameters dialog, without a window.
//
// The dialog's widgets only show these values and copy typed text back into them; every
// reaction of a button or list (which messages, which changes), the loading of a parameter file
// into the lists and the checks before saving live here, so each rule runs in a test without a
// window. A handler that refuses returns the message to show; the caller shows it in a box
// owned by the dialog (an empty caption meaning the application's name). Single-threaded: one
// form belongs to one dialog on the user-interface thread.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "params/choice_list.h"
#include "params/linking_settings.h"
#include "params/parameter_file.h"

struct FormMessage {
  std::string text;
  std::string caption;  // empty: the application's name
  bool operator==(const FormMessage&) const = default;
};
using Refusal = std::optional<FormMessage>;

// A drop-down list that accepts only its entries; selected is -1 when nothing is selected.
struct ListChoice {
  std::vector<std::string> entries;
  int selected = -1;
  bool hasSelection() const { return selected >= 0 && selected < static_cast<int>(entries.size()); }
  bool lastSelected() const {
    return hasSelection() && selected == static_cast<int>(entries.size()) - 1;
  }
  const std::string& text() const;  // the selected entry, or an empty text
};

struct FormLoadResult {
  enum Kind { Loaded, HalfRead, CannotOpen };
  Kind kind = Loaded;
  std::vector<FormMessage> messages;  // in the order they are to be shown
};

class LinkingParametersForm {
 public:
  enum Role { From = 0, To = 1, Empirical = 2 };
  static constexpr const char* kCaption = "Linking Parameters";

  explicit LinkingParametersForm(const ChoiceList& choices, std::string settingsPath = {});

  std::string windowTitle() const;  // title prefix and the file, or "Untitle" for a new one

  // Reactions of the controls. Those that read typed text expect the caller to have copied
  // the widgets into the values first.
  void showFormat();          // Pick File or Type closed
  Refusal saveShownFormat();  // Save Shown Format
  void clickScale();          // either scale radio button
  void clickReportMode();     // Append or Overwrite
  void toggleNoOutput();      // No output, after its new state was copied in
  bool wantsReportFile();     // report Save As: false when No output holds (nothing to ask)
  Refusal chooseReportFile(const std::string& path);
  Refusal chooseDataFile(Role role, const std::string& path);
  Refusal addToList();
  Refusal deleteFromList();
  Refusal showItem();
  Refusal closeGridPoint();

  // Fills the lists and values from a parameter file (the dialog's own reading rules).
  FormLoadResult load(std::istream& in, const std::string& name);
  FormLoadResult loadFile(const std::string& path);

  // The checks before anything is written, in their order.
  Refusal checkForSave() const;
  // The file these values write (call after checkForSave).
  ParameterFile parameterFile() const;
  // Writes path; on success the form is named after it when renamed is set (a chosen name).
  Refusal writeFile(const std::string& path, bool renamed);

  // Lists.
  ListChoice dimension, model, parameterization, gridPoint, rangeBegin, rangeEnd, pickFile, type;
  std::vector<FormatPreset> formats;  // the Type list's row and column texts

  // Values the controls show.
  bool weighedSum = false;
  std::string fromName, toName, empiricalName, reportName;
  bool logistic = true, normal = false;
  bool append = false, overwrite = true, noOutput = true;
  std::string rowText, columnText;
  std::vector<std::string> pairs;  // pair lines: From, To and the empirical name, one blank apart
  int selectedPair = -1;

  // Values without controls: the stored formats (row-skip texts without braces), the carried
  // texts (outputFile.columnFormat and rowSkip) and the minimization settings, kept for saving.
  DataFileSpec fromFile, toFile, empiricalFile, outputFile;
  std::string toleranceText, stepLengthText;
  int Number_Change_Direction = 15;
  int Number_Step = 8;
  int Search_Method = 0;

  std::string settingsPath;  // the file this form edits; empty for a new one
  std::string titlePrefix;

 private:
  DataFileSpec& spec(int role);
  void clearReport();  // no report file, neither append nor overwrite
};

// The entry to select for a value: the first equal to it (for coded lists: whose code equals
// it), else the first that begins with it, searching from the second entry and then the first
// (letter case ignored); -1 when none.
int matchEntry(const std::vector<std::string>& entries, const std::string& value, bool byCode);
