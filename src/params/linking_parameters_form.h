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
#include <utility>
#include <vector>

#include "params/choice_list.h"
#include "params/form_refusals.h"
#include "params/linking_settings.h"
#include "params/list_choice.h"
#include "params/parameter_file.h"

struct FormLoadResult {
  // HalfRead: a value that is no number stopped the reading; ValueRefused: the file was read
  // to its end, but a list value a run refuses was left out. Both leave the form unnamed.
  enum Kind { Loaded, HalfRead, ValueRefused, CannotOpen };
  Kind kind = Loaded;
  std::vector<FormMessage> messages;  // in the order they are to be shown
};

class LinkingParametersForm {
 public:
  enum Role { From = 0, To = 1, Empirical = 2 };
  // The lists that take a typed value.
  enum TypedList { DimensionList, GridPointList, RangeBeginList, RangeEndList };
  static constexpr const char* kCaption = "Linking Parameters";

  explicit LinkingParametersForm(const ChoiceList& choices, std::string settingsPath = {});

  std::string windowTitle() const;  // title prefix and the file, or "Untitle" for a new one

  // Reactions of the controls. Those that read typed text expect the caller to have copied
  // the widgets into the values first.
  void showFormat();        // Type closed
  void pickFileClosed();    // Pick File closed: Type back on the file's own format
  void dimensionChanged();  // the Type list offers the formats that fit the new dimension
  // A value typed into a list: selected (added when it is no entry) or refused with the rule.
  // An empty text leaves the list without a selection.
  Refusal enterValue(TypedList list, const std::string& text);
  ListChoice& typedList(TypedList list);
  Refusal saveShownFormat();  // Save Shown Format
  // Detect: recognises the layout of the picked file at path and shows and stores the format
  // that reads it, as Save Shown Format would. The message says what was recognised (or why
  // nothing was), and is shown whether or not the format changed; changed tells which.
  FormMessage detectFormat(const std::string& path, bool& changed);
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

  // The Search_Method choices (code, shown text); the held method is always among them.
  std::vector<std::pair<int, std::string>> searchMethodChoices() const;

  // The checks before anything is written, in their order.
  Refusal checkForSave() const;
  // The checks that need the file to write: the report file's folder must exist.
  Refusal checkTarget(const std::string& path) const;
  // The file these values write (call after checkForSave).
  ParameterFile parameterFile() const;
  // Writes path; on success the form is named after it when renamed is set (a chosen name).
  Refusal writeFile(const std::string& path, bool renamed);

  // Lists.
  ListChoice dimension, model, parameterization, gridPoint, rangeBegin, rangeEnd, pickFile, type;
  std::vector<FormatPreset> formats;  // every predefined format; 0 = the file's own format
  std::vector<int> typeFormats;       // the formats index of each Type entry offered

  // Values the controls show.
  bool weighedSum = false;
  std::string fromName, toName, empiricalName, reportName;
  bool logistic = true, normal = false;
  // How the picked file's lines split into words, shown beside its format and stored with it.
  char separatorChoice = ' ';
  bool recordPerLine = false;
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
  const DataFileSpec& spec(int role) const;
  void clearReport();  // no report file, neither append nor overwrite
  // Fills the Type list with the formats that fit the picked file and the dimension, keeping
  // the chosen one when it is still offered (always the first entry with backToFirst).
  void offerFormats(bool backToFirst);
  int chosenFormat() const;     // formats index shown by Type; 0 for the file's own
  int dimensionNumber() const;  // the chosen dimension, 0 when none a run takes is chosen
};
