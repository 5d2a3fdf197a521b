#include "linking/pair_lookup.h"

#include <fstream>
#include <memory>
#include <vector>

#include "linking/run_settings.h"
#include "params/settings_keys.h"
#include "params/text_file.h"
#include "params/token_reader.h"

PairLookup findDataFileEntry(const std::string& parameterFile, long long index, bool withEmpirical,
                             DataFilePair& pair) {
  std::ifstream in;
  if (!openTextFile(parameterFile, in)) return PairLookup::CannotOpen;
  TokenReader reader(in);
  std::string token;
  while (reader.next(token)) {
    if (!isDataFilesToken(token)) continue;
    long long number = 0;
    if (!reader.next(token)) break;
    if (!parseLeadingInt(token, number) || number != index) continue;
    pair = DataFilePair{};
    if (reader.next(token)) pair.from = token;
    if (reader.next(token)) pair.to = token;
    if (withEmpirical && reader.next(token)) pair.empirical = token;
    return PairLookup::Found;
  }
  return reader.readError() ? PairLookup::CannotOpen : PairLookup::NotFound;
}

DataFileEntries readDataFileEntries(const std::string& parameterFile, bool withEmpirical) {
  DataFileEntries entries;
  std::ifstream in;
  if (!openTextFile(parameterFile, in)) {
    entries.readError = true;
    return entries;
  }
  std::vector<std::string> words;
  TokenReader reader(in);
  for (std::string token; reader.next(token);) words.push_back(std::move(token));
  entries.readError = reader.readError();
  const auto word = [&words](std::size_t i) { return i < words.size() ? words[i] : std::string(); };
  for (std::size_t i = 0; i < words.size();) {
    if (!isDataFilesToken(words[i])) {
      ++i;
      continue;
    }
    if (i + 1 >= words.size()) break;
    long long number = 0;
    const bool numbered = parseLeadingInt(words[i + 1], number);
    i += 2;  // the marker and its number; the names are looked at again, as the scan does
    if (!numbered || entries.byNumber.count(number) != 0) continue;
    DataFilePair pair;
    pair.from = word(i);
    pair.to = word(i + 1);
    if (withEmpirical) pair.empirical = word(i + 2);
    entries.byNumber.emplace(number, std::move(pair));
  }
  return entries;
}

PairLookup loadDataFileEntry(RunSettings& s, long long index) {
  // A run given in memory has its one pair only.
  if (s.job != nullptr && s.job->input) return PairLookup::NotFound;
  if (!s.entries) {
    s.entries = std::make_shared<const DataFileEntries>(
        readDataFileEntries(s.settingsPath, s.Number_Of_Grid == 0));
  }
  const auto found = s.entries->byNumber.find(index);
  if (found == s.entries->byNumber.end()) {
    if (!s.entries->readError) return PairLookup::NotFound;
    s.host().beep();
    s.host().showMessage(s.settingsPath, "Can't open initial file", MessageButtons::Ok);
    return PairLookup::CannotOpen;
  }
  const DataFilePair& pair = found->second;
  s.fromFile.name = resolveDataPath(s.settingsPath, pair.from);
  s.toFile.name = resolveDataPath(s.settingsPath, pair.to);
  if (s.Number_Of_Grid == 0) s.empiricalFile.name = resolveDataPath(s.settingsPath, pair.empirical);
  return PairLookup::Found;
}

long long firstEntryNumber(const std::string& parameterFile) {
  std::ifstream in;
  if (!openTextFile(parameterFile, in)) return 0;
  TokenReader reader(in);
  std::string token;
  while (reader.next(token)) {
    if (!isDataFilesToken(token)) continue;
    long long number = 0;
    if (reader.next(token) && parseLeadingInt(token, number)) return number;
    return 0;
  }
  return 0;
}
