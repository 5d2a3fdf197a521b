// Key handling shared by every reader of linking parameter files.
//
// applySettingsKey looks at one token; when it is a key of LinkingSettings it reads the value
// token and stores it by the shared rules (row-skip values of 2 characters or fewer are
// cleared; "Number_Of_Grid=" read after an empirical name has been set stores 0). The
// "$Data_Files" entries are left to each reader, since each takes them differently.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "params/linking_settings.h"
#include "params/token_reader.h"

struct KeyOutcome {
  // NoValue: the file ends right after the key; the field keeps what it held.
  enum Kind { NotAKey, Stored, BadValue, NoValue };
  Kind kind = NotAKey;
  std::string key;    // the key as the file wrote it (all but NotAKey)
  std::string value;  // the value token as read (Stored, BadValue)
};

KeyOutcome applySettingsKey(const std::string& token, TokenReader& reader, LinkingSettings& s);

// The value of a "..._Separator=" key, case ignored: blank ' ', comma ',', semicolon ';' or
// tab '\t'. false (separator unchanged) for any other word.
bool parseSeparatorToken(std::string_view word, char& separator);

// The key value that stands for separator ("blank" for ' ' and any unknown character).
std::string_view separatorName(char separator);

// The value of a "..._One_Record_Per_Line=" key: 0 or 1; false (value unchanged) otherwise.
bool parseSwitchToken(std::string_view word, int& value);

// "file: line N: key wants a number, found 'x'" in one place for every reader; for the
// separator and one-record-per-line keys it names the values they take instead.
std::string badValueMessage(const std::string& file, int line, const KeyOutcome& outcome);

// Every key applySettingsKey knows, "=" included, as the writer spells them.
std::vector<std::string_view> settingsKeyNames();

// Whether a token is the data-file entry marker "$Data_Files" (case ignored).
bool isDataFilesToken(const std::string& token);

// Whether a token starts a data-file entry ("$...") or a section ("[...").
bool startsEntryOrSection(const std::string& token);
