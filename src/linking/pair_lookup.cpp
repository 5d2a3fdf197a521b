#include "linking/pair_lookup.h"

#include <fstream>

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

PairLookup loadDataFileEntry(RunSettings& s, long long index) {
  // A run given in memory has its one pair only.
  if (s.job != nullptr && s.job->input) return PairLookup::NotFound;
  DataFilePair pair;
  const PairLookup found = findDataFileEntry(s.settingsPath, index, s.Number_Of_Grid == 0, pair);
  if (found == PairLookup::CannotOpen) {
    s.host().beep();
    s.host().showMessage(s.settingsPath, "Can't open initial file", MessageButtons::Ok);
  }
  if (found != PairLookup::Found) return found;
  s.fromFile.name = resolveDataPath(s.settingsPath, pair.from);
  s.toFile.name = resolveDataPath(s.settingsPath, pair.to);
  if (s.Number_Of_Grid == 0) s.empiricalFile.name = resolveDataPath(s.settingsPath, pair.empirical);
  return found;
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
