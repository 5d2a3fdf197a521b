// ChoiceList: the entries of the Linking Parameters dialog's lists, read from "dlginip.tvk".
//
// The file is a text of tokens divided into sections, each opened by a marker token such as
// "[Theta_Dimension]" (letter case ignored); a section's entries run to the next token that
// begins with "[". Model and parameterization entries are a code, "_" and a description with
// "_" for blanks; a data-file format entry is "$Name_With_Underscores", an options token, the
// row-skip text without braces and the column-format text. The first format entry stands for
// the picked file's own format. Editing the file changes the dialog's choices; the program
// never writes it.
//
// The options token is a comma-separated list of option words, letter case ignored: "comma",
// "semicolon" or "tab" (the separator), "line" (one record per line), "normal" (1.702) or
// "logistic" (the metric); of two words of one kind the last counts. A token that is not made
// only of option words ("-" in older files, or with an empty word as in "comma,") carries no
// options.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

struct FormatPreset {
  std::string name;     // shown in the Type list: "_" turned into blanks
  std::string rowSkip;  // without braces
  std::string columnFormat;
  // Whether the options token held option words. A preset with options says how its file is
  // split: separator and oneRecordPerLine replace the picked file's (no separator word: blank).
  // Without options the file's own stay.
  bool hasOptions = false;
  std::optional<char> separator{};  // ',' ';' '\t'; none: words separated by white space
  bool oneRecordPerLine = false;
  std::optional<bool> normalMetric{};  // the metric, when named; else the file's own stays
};

struct ChoiceList {
  std::string titlePrefix;  // the words of "[Dailog_Title]"; empty without one
  std::vector<std::string> dimensions;
  std::vector<std::string> models;             // shown texts: "1 Least squares ..."
  std::vector<std::string> parameterizations;  // likewise
  std::vector<std::string> gridPoints;         // the last one stands for zero grid points
  std::vector<std::string> rangeBegins;
  std::vector<std::string> rangeEnds;
  std::vector<FormatPreset> formats;   // Type list; entry 0 = the file's own format
  std::vector<std::string> fileRoles;  // From, To, empirical theta file
};

ChoiceList readChoiceList(std::istream& in);

// The text of a list entry up to its first blank: the code written to a parameter file.
std::string entryCode(const std::string& entry);
